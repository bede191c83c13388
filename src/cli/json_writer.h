// Writes one JSON document for the --json output of the listing commands: objects and arrays
// indented by two blanks, strings escaped, bytes that are not UTF-8 (a Latin-1 tag, a file
// name in another encoding) replaced by U+FFFD so that every document parses.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quelt::cli {

class JsonWriter {
  public:
    JsonWriter& BeginObject();
    JsonWriter& EndObject();
    JsonWriter& BeginArray();
    JsonWriter& EndArray();
    // The name of the next value inside an object.
    JsonWriter& Key(std::string_view name);
    JsonWriter& String(std::string_view text);
    JsonWriter& Int(long long number);
    JsonWriter& Bool(bool value);

    // Key and value in one call.
    JsonWriter& Field(std::string_view name, std::string_view text) { return Key(name).String(text); }
    JsonWriter& Field(std::string_view name, const char* text) { return Key(name).String(text); }
    JsonWriter& Field(std::string_view name, const std::string& text) { return Key(name).String(text); }
    JsonWriter& Field(std::string_view name, int number) { return Key(name).Int(number); }
    JsonWriter& Field(std::string_view name, long long number) { return Key(name).Int(number); }
    JsonWriter& Field(std::string_view name, bool value) { return Key(name).Bool(value); }

    // The document so far, with a final line end once every object and array is closed.
    std::string Text() const;
    // Writes Text() to standard output.
    void Print() const;

    // `text` as a JSON string literal, quotes included.
    static std::string Quote(std::string_view text);

  private:
    void BeforeValue();
    JsonWriter& Open(char bracket);
    JsonWriter& Close(char bracket);
    void NewLine();

    std::string out_;
    std::vector<int> counts_;  // values written so far in each open object or array
    bool afterKey_ = false;
};

}  // namespace quelt::cli
