#include "core/config_document.h"

#include <cfloat>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/path.h"
#include "core/text.h"
#include "platform/platform.h"

namespace {

constexpr size_t kNameSize = 260;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// The leading decimal integer: white space and a sign allowed before the digits, 0 without
// digits. Out-of-range numbers are clamped, so every platform reads the same value.
int32_t LeadingInteger(const char* text) {
    const char* p = text;
    while (IsSpace(*p)) {
        ++p;
    }
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+') {
        ++p;
    }
    int64_t value = 0;
    for (; IsDigit(*p); ++p) {
        value = value * 10 + (*p - '0');
        if (value > INT64_C(0x80000000)) {
            value = INT64_C(0x80000000); // saturated; more digits cannot bring it back
        }
    }
    if (negative) {
        value = -value;
    }
    if (value > INT32_MAX) {
        value = INT32_MAX;
    }
    return static_cast<int32_t>(value);
}

// The leading decimal floating-point number, 0 when there is none. Only the decimal form is
// read (no hexadecimal, infinity or NaN words), and the result is kept within float range.
float LeadingFloat(const char* text) {
    const char* p = text;
    while (IsSpace(*p)) {
        ++p;
    }
    const char* begin = p;
    if (*p == '-' || *p == '+') {
        ++p;
    }
    const char* digits = p;
    while (IsDigit(*p)) {
        ++p;
    }
    if (*p == '.') {
        ++p;
        while (IsDigit(*p)) {
            ++p;
        }
    }
    if (p == digits || (p == digits + 1 && *digits == '.')) {
        return 0.0f; // no digits at all
    }
    if (*p == 'e' || *p == 'E') {
        const char* exponent = p + 1;
        if (*exponent == '-' || *exponent == '+') {
            ++exponent;
        }
        if (IsDigit(*exponent)) {
            p = exponent;
            while (IsDigit(*p)) {
                ++p;
            }
        }
    }
    // strtod reads exactly this prefix unless it would take more (a hexadecimal "0x" after a
    // lone zero); then it reads a copy of the prefix alone, which is short in that case.
    char* end = nullptr;
    double value = std::strtod(begin, &end);
    if (end != p) {
        char prefix[64];
        const size_t length = static_cast<size_t>(p - begin);
        if (length >= sizeof prefix) {
            return 0.0f;
        }
        std::memcpy(prefix, begin, length);
        prefix[length] = 0;
        value = std::strtod(prefix, nullptr);
    }
    if (value > FLT_MAX) {
        return FLT_MAX;
    }
    if (value < -FLT_MAX) {
        return -FLT_MAX;
    }
    return static_cast<float>(value);
}

void SetConversions(ConfigValue* value, const char* text) {
    value->intValue = LeadingInteger(text);
    value->floatValue = LeadingFloat(text);
}

} // namespace

// ---- values and sections ---------------------------------------------------------------------

ConfigValue::ConfigValue(char* valueName, int32_t value)
    : name(TrimText(valueName)), type(1), text(nullptr), intValue(value),
      floatValue(static_cast<float>(value)) {}

ConfigValue::ConfigValue(char* valueName, char* valueText)
    : name(TrimText(valueName)), type(0), text(nullptr), intValue(0), floatValue(0.0f) {
    if (IsEmptyText(valueText) == 0) {
        text = valueText;
        SetConversions(this, valueText);
        TrimText(valueText);
    }
}

ConfigValue::ConfigValue(char* valueName, const char* word)
    : name(TrimText(valueName)), type(0), text(nullptr), intValue(0), floatValue(0.0f) {
    if (IsEmptyText(word) == 0) {
        text = word;
        SetConversions(this, word);
    }
}

ConfigSection::ConfigSection(char* sectionName) : name(sectionName) {}

ConfigSection::~ConfigSection() {
    for (values.Rewind(); values.cursor != nullptr; values.Advance()) {
        delete reinterpret_cast<ConfigValue*>(values.CurrentValue());
    }
    values.Clear();
    name = nullptr;
}

int ConfigSection::AddValue(ConfigValue* value) {
    if (value == nullptr) {
        return 0;
    }
    if (values.FindName(value->name) != 0 ||
        values.Append(reinterpret_cast<intptr_t>(value)) == 0) {
        delete value; // a refused value is released, never left to leak
        return 0;
    }
    return 1;
}

// ---- document --------------------------------------------------------------------------------

ConfigDocument::ConfigDocument()
    : fileName{}, addMissing(0), emptyWord(nullptr), trueWord(nullptr), falseWord(nullptr) {}

ConfigDocument::~ConfigDocument() {
    DestroySections();
}

void ConfigDocument::DestroySections() {
    for (sections.Rewind(); sections.cursor != nullptr; sections.Advance()) {
        delete reinterpret_cast<ConfigSection*>(sections.CurrentValue());
    }
    sections.Clear();
}

ConfigValue* ConfigDocument::Find(const char* section, const char* key) {
    if (sections.FindName(section) == 0) {
        return nullptr;
    }
    auto* found = reinterpret_cast<ConfigSection*>(sections.CurrentValue());
    if (found == nullptr || found->values.FindName(key) == 0) {
        return nullptr;
    }
    return reinterpret_cast<ConfigValue*>(found->values.CurrentValue());
}

int32_t ConfigDocument::GetInt(const char* section, const char* key, int32_t defaultValue) {
    ConfigValue* value = Find(section, key);
    if (value != nullptr) {
        value->type = 1;
        return value->intValue;
    }
    if (addMissing != 0) {
        SetInt(section, key, defaultValue);
    }
    return defaultValue;
}

void ConfigDocument::GetString(const char* section, const char* key, const char* defaultValue,
                               char* buffer, size_t size, int caseMode) {
    ConfigValue* value = Find(section, key);
    if (buffer == nullptr) {
        return;
    }
    if (value != nullptr) {
        value->type = 0;
        CopyText(buffer, value->text, size);
        if (size == 0) {
            return;
        }
        if (caseMode == 1) {
            UpperText(buffer);
        } else if (caseMode == 2) {
            LowerText(buffer);
        }
        return;
    }
    if (addMissing != 0) {
        SetString(section, key, defaultValue);
    }
    CopyText(buffer, defaultValue, size);
}

int ConfigDocument::GetBool(const char* section, const char* key, int defaultValue) {
    ConfigValue* value = Find(section, key);
    int result = defaultValue;
    if (value != nullptr) {
        value->type = 0;
        char text[kNameSize];
        CopyText(text, value->text, sizeof text);
        if (TextEquals(text, trueWord, 0) != 0) {
            return 1;
        }
        if (TextEquals(text, falseWord, 0) != 0) {
            return 0;
        }
        value->type = 1;
        result = value->intValue != 0 ? 1 : 0;
    }
    if (addMissing != 0) {
        SetString(section, key, result != 0 ? trueWord : falseWord);
    }
    return result;
}

namespace {

// The key of a new text or flag value, copied into the pool; none (traced) when the pool is full.
char* PoolKeyName(StringPool& strings, const char* key) {
    if (strings.AddString(key) == 0) {
        Trace("Unable to append string key name %s to the buffer!", key != nullptr ? key : "");
        return nullptr;
    }
    return strings.Current();
}

} // namespace

int ConfigDocument::SetInt(const char* section, const char* key, int32_t number) {
    ConfigValue* value = Find(section, key);
    if (value != nullptr) {
        value->type = 1;
        value->intValue = number;
        return 1;
    }
    if (strings.AddString(key) == 0) {
        Trace("Unable to append string %s to the buffer!", key != nullptr ? key : "");
        return 0;
    }
    return AddValue(section, new ConfigValue(strings.Current(), number));
}

int ConfigDocument::SetString(const char* section, const char* key, const char* newText) {
    char* pooled = nullptr;
    if (IsEmptyText(newText) == 0) {
        if (strings.AddString(newText) == 0) {
            Trace("Unable to append string %s to the buffer!", newText);
            return 0;
        }
        pooled = strings.Current();
    }
    ConfigValue* value = Find(section, key);
    if (value != nullptr) {
        value->type = 0;
        value->text = pooled != nullptr ? pooled : emptyWord;
        return 1;
    }
    char* pooledKey = PoolKeyName(strings, key);
    if (pooledKey == nullptr) {
        return 0;
    }
    if (pooled != nullptr) {
        return AddValue(section, new ConfigValue(pooledKey, pooled));
    }
    return AddValue(section, new ConfigValue(pooledKey, emptyWord));
}

int ConfigDocument::SetBool(const char* section, const char* key, int flag) {
    const char* word = flag != 0 ? trueWord : falseWord;
    ConfigValue* value = Find(section, key);
    if (value != nullptr) {
        value->type = 0;
        value->text = word;
        return 1;
    }
    char* pooledKey = PoolKeyName(strings, key);
    if (pooledKey == nullptr) {
        return 0;
    }
    return AddValue(section, new ConfigValue(pooledKey, word));
}

int ConfigDocument::AddValue(const char* section, ConfigValue* value) {
    if (value == nullptr) {
        return 0;
    }
    if (sections.FindName(section) != 0) {
        auto* found = reinterpret_cast<ConfigSection*>(sections.CurrentValue());
        return found->AddValue(value);
    }
    if (strings.AddString(section) == 0) {
        Trace("Unable to append string %s to the buffer!", section != nullptr ? section : "");
        delete value;
        return 0;
    }
    auto* created = new ConfigSection(strings.Current());
    if (created == nullptr) {
        delete value;
        return 0;
    }
    // The value goes into the new section before the section is listed, so a failure at either
    // step leaves the document's lists as they were.
    if (created->AddValue(value) == 0) {
        delete created;
        return 0;
    }
    if (sections.Append(reinterpret_cast<intptr_t>(created)) == 0) {
        Trace("Unable to append section %s to the list!", created->name);
        delete created; // releases the value with it
        return 0;
    }
    return 1;
}

int ConfigDocument::HasSection(const char* section) {
    return sections.FindName(section);
}

int ConfigDocument::HasKey(const char* section, const char* key) {
    return Find(section, key) != nullptr ? 1 : 0;
}

namespace {

// 1 when `format` holds exactly one integer conversion (flags, width and precision allowed)
// and nothing else but literal text and "%%": only such a format is given to the formatter.
bool IsNumberedFormat(const char* format) {
    if (format == nullptr) {
        return false;
    }
    int conversions = 0;
    for (const char* p = format; *p != 0; ++p) {
        if (*p != '%') {
            continue;
        }
        ++p;
        if (*p == '%') {
            continue;
        }
        while (*p == '-' || *p == '+' || *p == ' ' || *p == '0' || *p == '#') {
            ++p;
        }
        while (IsDigit(*p)) {
            ++p;
        }
        if (*p == '.') {
            ++p;
            while (IsDigit(*p)) {
                ++p;
            }
        }
        if (*p != 'd' && *p != 'i' && *p != 'u') {
            return false;
        }
        ++conversions;
    }
    return conversions == 1;
}

} // namespace

int ConfigDocument::CountNumberedSections(const char* nameFormat) {
    if (!IsNumberedFormat(nameFormat)) {
        Trace("Unusable section name format %s!", nameFormat != nullptr ? nameFormat : "");
        return 0;
    }
    // Names cut at the buffer size could repeat forever; no count can exceed the sections.
    for (int32_t n = 1; n <= sections.count; ++n) {
        char name[kNameSize];
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#endif
        std::snprintf(name, sizeof name, nameFormat, n);
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
        if (HasSection(name) == 0) {
            return n - 1;
        }
    }
    return sections.count;
}

namespace {

int WriteText(platform::TextFile* file, const char* text) {
    if (IsEmptyText(text) != 0) {
        return 1;
    }
    return platform::TextFileWrite(file, text, std::strlen(text));
}

// A name or text from the document: a line break inside it would end its line early and turn
// the rest into a line of its own (another key, even a section) when the file is read again,
// so carriage returns and line feeds are written as spaces.
int WriteField(platform::TextFile* file, const char* text) {
    if (IsEmptyText(text) != 0) {
        return 1;
    }
    int ok = 1;
    const char* run = text;
    for (const char* p = text;; ++p) {
        if (*p == 0 || *p == '\r' || *p == '\n') {
            ok &= platform::TextFileWrite(file, run, static_cast<size_t>(p - run));
            if (*p == 0) {
                return ok;
            }
            ok &= platform::TextFileWrite(file, " ", 1);
            run = p + 1;
        }
    }
}

int WriteValue(platform::TextFile* file, const ConfigValue* value) {
    char number[64];
    int ok = WriteField(file, value->name);
    ok &= WriteText(file, "=");
    if (value->type == 1) {
        std::snprintf(number, sizeof number, "%d", static_cast<int>(value->intValue));
        ok &= WriteText(file, number);
    } else if (value->type == 2) {
        std::snprintf(number, sizeof number, "%f", static_cast<double>(value->floatValue));
        ok &= WriteText(file, number);
    } else {
        ok &= WriteField(file, value->text);
    }
    ok &= WriteText(file, "\n");
    return ok;
}

} // namespace

int ConfigDocument::Save(const char* newFileName) {
    if (newFileName != nullptr) {
        CombinePath("", newFileName, "INI", fileName, sizeof fileName);
    }
    if (IsEmptyText(fileName) != 0) {
        return 0;
    }
    // The document goes to a file beside the target first; only a completely written copy
    // replaces the old file, so a failed save never leaves a cut-off document behind.
    char temporary[kNameSize + 8];
    const int length = std::snprintf(temporary, sizeof temporary, "%s.tmp", fileName);
    if (length <= 0 || static_cast<size_t>(length) >= sizeof temporary) {
        return 0;
    }
    platform::TextFile* file = platform::TextFileCreate(temporary);
    if (file == nullptr) {
        Trace("Unable to create %s!", temporary);
        return 0;
    }
    int ok = 1;
    for (sections.Rewind(); sections.cursor != nullptr && ok != 0; sections.Advance()) {
        auto* section = reinterpret_cast<ConfigSection*>(sections.CurrentValue());
        if (section == nullptr) {
            continue;
        }
        ok &= WriteText(file, "[");
        ok &= WriteField(file, section->name);
        ok &= WriteText(file, "]\n");
        CursorList& values = section->values;
        for (values.Rewind(); values.cursor != nullptr && ok != 0; values.Advance()) {
            const auto* value = reinterpret_cast<const ConfigValue*>(values.CurrentValue());
            if (value != nullptr) {
                ok &= WriteValue(file, value);
            }
        }
        ok &= WriteText(file, "\n");
    }
    if (platform::TextFileClose(file) == 0) {
        ok = 0;
    }
    if (ok == 0 || platform::ReplaceFile(temporary, fileName) == 0) {
        Trace("Unable to write %s!", fileName);
        platform::RemoveFile(temporary);
        return 0;
    }
    return 1;
}
