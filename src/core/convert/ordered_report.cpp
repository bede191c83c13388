#include "core/convert/ordered_report.h"

namespace quelt {

// What one file reports. While its file is the front, calls go to the window at once;
// before that, log lines are kept in order and the other lines and the bar keep their
// latest value.
class OrderedReport::FileReport : public JobReport {
public:
    FileReport(OrderedReport& owner, int index) : owner_(owner), index_(index) {}

    void Log(const std::string& text) override {
        std::lock_guard lock(owner_.mutex_);
        if (owner_.IsFront(index_))
            owner_.report_.Log(text);
        else
            held_.push_back(text);
    }
    void SetItemBar(int percent) override {
        Set(itemBar_, percent, [&](JobReport& r) { r.SetItemBar(percent); });
    }
    void SetInputLine(const std::string& text) override {
        Set(input_, text, [&](JobReport& r) { r.SetInputLine(text); });
    }
    void SetPositionLine(const std::string& text) override {
        Set(position_, text, [&](JobReport& r) { r.SetPositionLine(text); });
    }
    void SetCounterLine(const std::string& text) override {
        Set(counter_, text, [&](JobReport& r) { r.SetCounterLine(text); });
    }
    // The batch's own lines and the button are not the file's to hold.
    void SetTotalBar(int percent) override { owner_.report_.SetTotalBar(percent); }
    void SetBatchLine(const std::string& text) override { owner_.report_.SetBatchLine(text); }
    void SetButton(const std::string& caption, bool enabled) override {
        owner_.report_.SetButton(caption, enabled);
    }

    // The file has become the front: what it held goes to the window. mutex_ is held.
    void Show() {
        for (const std::string& line : held_) owner_.report_.Log(line);
        held_.clear();
        if (input_) owner_.report_.SetInputLine(*input_);
        if (counter_) owner_.report_.SetCounterLine(*counter_);
        if (itemBar_) owner_.report_.SetItemBar(*itemBar_);
        if (position_) owner_.report_.SetPositionLine(*position_);
    }

private:
    template <typename T, typename Write>
    void Set(std::optional<T>& kept, const T& value, Write write) {
        std::lock_guard lock(owner_.mutex_);
        if (owner_.IsFront(index_))
            write(owner_.report_);
        else
            kept = value;
    }

    OrderedReport& owner_;
    int index_;
    std::vector<std::string> held_;
    std::optional<int> itemBar_;
    std::optional<std::string> input_, position_, counter_;
};

OrderedReport::OrderedReport(JobReport& report, int files) : report_(report) {
    for (int i = 0; i < files; ++i) files_.push_back(std::make_unique<FileReport>(*this, i));
    finished_.assign(static_cast<std::size_t>(files), false);
}

OrderedReport::~OrderedReport() = default;

JobReport& OrderedReport::File(int index) { return *files_.at(static_cast<std::size_t>(index)); }

void OrderedReport::Finished(int index) {
    std::lock_guard lock(mutex_);
    finished_.at(static_cast<std::size_t>(index)) = true;
    Advance();
}

void OrderedReport::Advance() {
    // Every finished file at the front shows the rest of what it held and passes the turn on.
    while (front_ < static_cast<int>(files_.size()) && finished_[static_cast<std::size_t>(front_)]) {
        ++front_;
        if (front_ < static_cast<int>(files_.size())) files_[static_cast<std::size_t>(front_)]->Show();
    }
}

}  // namespace quelt
