// The table of persisted settings: each key of the settings file with the field of
// `Settings` it fills and the rules its value is read by. Loading, saving and
// `quelt-cli settings` all walk this one table, so a setting is added in one place.
#pragma once

#include <climits>
#include <span>
#include <string>
#include <string_view>

#include "core/settings/settings.h"

namespace quelt {

enum class FieldKind {
    kText,    // stored as it is
    kFolder,  // text; a lone "/" or "\" stands for the default output folder
    kNumber,  // decimal text: an int, a switch (bool, 0 or 1) or a choice (an enum's number)
};

// How a number read from the file is taken. Outside [low, high] it becomes `belowLow` or
// `aboveHigh`; a missing or empty key reads as `whenMissing`.
struct NumberRule {
    int low = INT_MIN;
    int high = INT_MAX;
    int belowLow = 0;
    int aboveHigh = 0;
    int whenMissing = 0;
    bool fixedOnSave = false;        // the range holds on save too, in the record as well
    bool writtenOnceChosen = false;  // saved only when 0 or more, after the section's others

    int Apply(int n) const { return n < low ? belowLow : n > high ? aboveHigh : n; }
};

struct SettingField {
    const char* section;
    const char* key;
    FieldKind kind;
    std::string* (*text)(Settings&);    // kText and kFolder
    int (*number)(const Settings&);     // kNumber: the field as its stored number
    void (*setNumber)(Settings&, int);  // kNumber: a bool takes "not 0"
    NumberRule rule = {};

    bool isText() const { return kind != FieldKind::kNumber; }
};

// Every field, in the order `quelt-cli settings list` shows them and (section by section)
// a save writes them.
std::span<const SettingField> SettingFields();

// The field of a section and key, matched without regard to case as the file's reader
// matches them; nullptr when there is none.
const SettingField* FindSettingField(std::string_view section, std::string_view key);

// The field's value as the file stores it.
std::string FieldText(const SettingField& field, Settings& settings);
// Sets the field from stored text with the rules of a load: a folder's fix-up, a number's
// range.
void SetFieldFromText(const SettingField& field, Settings& settings, const std::string& text);
// Sets a number field as a load would take the number.
void SetFieldNumber(const SettingField& field, Settings& settings, int n);

// Sections and keys are compared without regard to case, as the profile functions do.
bool SameProfileName(std::string_view a, std::string_view b);

}  // namespace quelt
