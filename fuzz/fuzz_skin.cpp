// The skin description and its "Resource.h" on arbitrary bytes: the input is the
// description, a zero byte, then the header. Every window the document names is built.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "gui/skin/skin_document.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const size_t zero = bytes.find('\0');
    const std::string_view description = bytes.substr(0, zero);
    const std::string_view header =
        zero == std::string_view::npos ? std::string_view() : bytes.substr(zero + 1);
    const quelt::SkinDocument document = quelt::SkinDocument::Parse(description, header);
    for (int number : document.WindowNumbers()) {
        auto window = document.Window(number);
        if (!window) continue;
        for (const auto& control : window->controls) {
            volatile int width = control.rect.width();
            volatile int height = control.rect.height();
            (void)width;
            (void)height;
        }
    }
    for (const auto& [name, number] : document.resources().Entries()) {
        (void)document.NameOfNumber(number);
        (void)document.NumberOfName(name);
    }
    (void)quelt::DecodeSkinFont(description.substr(0, 130));
    return 0;
}
