#include "host/ini/ini_loader.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <unordered_map>

#include "core/text.h"
#include "platform/platform.h"

const char kIniEmptyWord[] = "";
const char kIniTrueWord[] = "TRUE";
const char kIniFalseWord[] = "FALSE";

namespace {

IniResult Success() {
    IniResult result;
    result.ok = 1;
    return result;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// [begin, end) without the blanks around it.
void Trim(const char*& begin, const char*& end) {
    while (begin < end && IsBlank(*begin)) {
        ++begin;
    }
    while (end > begin && IsBlank(end[-1])) {
        --end;
    }
}

// Shortened copy of a name for messages, so a message stays readable.
std::string Quote(const std::string& text) {
    constexpr size_t kShown = 80;
    if (text.size() <= kShown) {
        return text;
    }
    return text.substr(0, kShown) + "...";
}

// Checks that a line holds only text bytes; names the first offending byte.
IniResult CheckTextBytes(const char* path, int line, const char* begin, const char* end) {
    for (const char* p = begin; p < end; ++p) {
        const auto byte = static_cast<unsigned char>(*p);
        const int column = static_cast<int>(p - begin) + 1;
        if (byte == 0) {
            return MakeIniError(
                path, line, "NUL byte at column %d: this is not a text file; save it as plain text",
                column);
        }
        if (byte == '\r') {
            return MakeIniError(
                path, line,
                "carriage return without line feed at column %d; use CRLF or LF line "
                "ends",
                column);
        }
        if ((byte < 0x20 && byte != '\t') || byte == 0x7F) {
            return MakeIniError(
                path, line,
                "control byte 0x%02X at column %d is not text; remove it or save the "
                "file as plain text",
                byte, column);
        }
    }
    return Success();
}

std::string NormalisePath(const char* path) {
    std::string native = path;
#if !defined(_WIN32)
    for (char& c : native) {
        if (c == '\\') {
            c = '/';
        }
    }
#endif
    return native;
}

void SetWords(ConfigDocument* doc, int addMissing) {
    doc->addMissing = addMissing;
    doc->emptyWord = kIniEmptyWord;
    doc->trueWord = kIniTrueWord;
    doc->falseWord = kIniFalseWord;
}

// Pools `text` and answers the pooled copy, or none when the pool refuses it.
char* Pool(StringPool& pool, const std::string& text) {
    if (pool.AddString(text.c_str()) == 0) {
        return nullptr;
    }
    return pool.Current();
}

IniResult BuildDocument(const IniFile& file, const char* path, int addMissing, int32_t headroom,
                        ConfigDocument* doc) {
    // Every pooled name and text comes from one line and takes at most the bytes of that line
    // (its line end pays for the terminator); the last line may lack a line end, hence the 1.
    const size_t needed = file.byteSize + 1 + static_cast<size_t>(headroom > 0 ? headroom : 0);
    if (needed > static_cast<size_t>(INT32_MAX) - 1) {
        return MakeIniError(path, 0, "file is too large for a document");
    }
    doc->strings.Reset(static_cast<int32_t>(needed));
    if (doc->strings.start == nullptr) {
        return MakeIniError(path, 0,
                            "no memory for the document's %d bytes of text (the host's memory "
                            "service must be bound before documents are loaded)",
                            static_cast<int>(needed));
    }
    for (const IniSection& section : file.sections) {
        char* name = Pool(doc->strings, section.name);
        if (name == nullptr) {
            return MakeIniError(path, section.line, "string storage of the document is full");
        }
        auto* record = new ConfigSection(name);
        if (record == nullptr) {
            return MakeIniError(path, section.line, "no memory for section [%s]",
                                Quote(section.name).c_str());
        }
        if (doc->sections.Append(reinterpret_cast<intptr_t>(record)) == 0) {
            delete record;
            return MakeIniError(path, section.line, "no memory for section [%s]",
                                Quote(section.name).c_str());
        }
        for (const IniEntry& entry : section.entries) {
            char* key = Pool(doc->strings, entry.name);
            char* text = key != nullptr ? Pool(doc->strings, entry.text) : nullptr;
            if (text == nullptr) {
                return MakeIniError(path, entry.line, "string storage of the document is full");
            }
            auto* value = new ConfigValue(key, text);
            if (value == nullptr) {
                return MakeIniError(path, entry.line, "no memory for key %s",
                                    Quote(entry.name).c_str());
            }
            // Names were checked unique while parsing, so the value is appended directly
            // instead of rescanning the section for every key.
            if (record->values.Append(reinterpret_cast<intptr_t>(value)) == 0) {
                delete value;
                return MakeIniError(path, entry.line, "no memory for key %s",
                                    Quote(entry.name).c_str());
            }
        }
        record->values.Rewind();
    }
    doc->sections.Rewind();
    CopyText(doc->fileName, path, sizeof doc->fileName);
    SetWords(doc, addMissing);
    return Success();
}

IniResult FinishLoad(IniResult result, int addMissing, ConfigDocument* doc) {
    if (result.ok == 0) {
        DestroyIniDocument(doc);
        InitEmptyIniDocument(doc, "", addMissing);
    }
    return result;
}

IniResult CheckDocumentPath(const char* path) {
    if (path == nullptr || path[0] == '\0') {
        return MakeIniError("", 0, "no file name given for the document");
    }
    if (std::strlen(path) >= sizeof(ConfigDocument::fileName)) {
        return MakeIniError(path, 0, "path is longer than %d bytes; move the game folder higher up",
                            static_cast<int>(sizeof(ConfigDocument::fileName) - 1));
    }
    return Success();
}

} // namespace

IniResult MakeIniError(const char* path, int line, const char* format, ...) {
    char what[640];
    va_list args;
    va_start(args, format);
    std::vsnprintf(what, sizeof what, format, args);
    va_end(args);
    IniResult result;
    result.line = line;
    result.message = path != nullptr ? path : "";
    if (line > 0) {
        // Appended in two steps: GCC 12's optimiser misreads `":" + std::to_string(...)` as an
        // overlapping copy (-Wrestrict) in release builds.
        result.message += ':';
        result.message += std::to_string(line);
    }
    result.message += ": ";
    result.message += what;
    return result;
}

std::string FoldIniName(const char* text, size_t length) {
    std::string key;
    key.reserve(length);
    for (size_t i = 0; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (platform::IsLeadByte(byte) != 0 && i + 1 < length) {
            key += text[i];
            key += text[i + 1];
            ++i;
            continue;
        }
        key += (byte >= 'A' && byte <= 'Z') ? static_cast<char>(byte - 'A' + 'a') : text[i];
    }
    return key;
}

std::string FoldIniName(const char* text) {
    return text == nullptr ? std::string() : FoldIniName(text, std::strlen(text));
}

const IniEntry* IniSection::Find(const char* key) const {
    const std::string wanted = FoldIniName(key);
    for (const IniEntry& entry : entries) {
        if (FoldIniName(entry.name.c_str(), entry.name.size()) == wanted) {
            return &entry;
        }
    }
    return nullptr;
}

const IniSection* IniFile::Find(const char* section) const {
    const std::string wanted = FoldIniName(section);
    for (const IniSection& s : sections) {
        if (FoldIniName(s.name.c_str(), s.name.size()) == wanted) {
            return &s;
        }
    }
    return nullptr;
}

IniResult ParseIniText(const char* path, const char* data, size_t size, IniFile* out) {
    out->path = path != nullptr ? path : "";
    out->byteSize = size;
    out->sections.clear();
    if (size > kIniMaxFileSize) {
        return MakeIniError(path, 0,
                            "file is larger than %d bytes; split it or remove unused entries",
                            static_cast<int>(kIniMaxFileSize));
    }
    const char* p = data;
    const char* const stop = data + size;
    if (size >= 3 && std::memcmp(data, "\xEF\xBB\xBF", 3) == 0) {
        p += 3;
    }
    std::unordered_map<std::string, int> sectionLines; // folded name -> line
    std::unordered_map<std::string, int> keyLines;     // of the current section
    int line = 0;
    while (p < stop) {
        ++line;
        const char* eol = static_cast<const char*>(std::memchr(p, '\n', stop - p));
        const char* next = eol != nullptr ? eol + 1 : stop;
        const char* end = eol != nullptr ? eol : stop;
        if (end > p && end[-1] == '\r') {
            --end;
        }
        const char* begin = p;
        p = next;
        if (static_cast<size_t>(end - begin) > kIniMaxLineLength) {
            return MakeIniError(path, line, "line is longer than %d bytes; shorten it",
                                static_cast<int>(kIniMaxLineLength));
        }
        IniResult bytes = CheckTextBytes(path, line, begin, end);
        if (bytes.ok == 0) {
            return bytes;
        }
        Trim(begin, end);
        if (begin == end || *begin == ';' || *begin == '#') {
            continue;
        }
        if (*begin == '[') {
            const char* close = static_cast<const char*>(std::memchr(begin, ']', end - begin));
            if (close == nullptr) {
                return MakeIniError(path, line, "section header has no closing \"]\"; add it");
            }
            const char* rest = close + 1;
            while (rest < end && IsBlank(*rest)) {
                ++rest;
            }
            if (rest < end && *rest != ';' && *rest != '#') {
                return MakeIniError(path, line,
                                    "unexpected text after the section header; put it on a line of "
                                    "its own");
            }
            const char* nameBegin = begin + 1;
            const char* nameEnd = close;
            Trim(nameBegin, nameEnd);
            if (nameBegin == nameEnd) {
                return MakeIniError(path, line, "empty section name; name the section");
            }
            IniSection section;
            section.name.assign(nameBegin, nameEnd);
            section.line = line;
            const auto [first, added] =
                sectionLines.emplace(FoldIniName(nameBegin, nameEnd - nameBegin), line);
            if (!added) {
                return MakeIniError(path, line,
                                    "duplicate section [%s] (first at line %d; names ignore case); "
                                    "merge the two or rename one",
                                    Quote(section.name).c_str(), first->second);
            }
            out->sections.push_back(std::move(section));
            keyLines.clear();
            continue;
        }
        if (out->sections.empty()) {
            return MakeIniError(path, line,
                                "key outside a section; put a [Section] header above it");
        }
        const char* equals = static_cast<const char*>(std::memchr(begin, '=', end - begin));
        if (equals == nullptr) {
            return MakeIniError(path, line,
                                "expected Key=Value, a [Section] header or a comment; add \"=\" or "
                                "start the line with \";\"");
        }
        const char* nameBegin = begin;
        const char* nameEnd = equals;
        Trim(nameBegin, nameEnd);
        if (nameBegin == nameEnd) {
            return MakeIniError(path, line, "key without a name before \"=\"; name it");
        }
        const char* textBegin = equals + 1;
        const char* textEnd = end;
        Trim(textBegin, textEnd);
        IniSection& section = out->sections.back();
        IniEntry entry;
        entry.name.assign(nameBegin, nameEnd);
        entry.text.assign(textBegin, textEnd);
        entry.line = line;
        const auto [first, added] =
            keyLines.emplace(FoldIniName(nameBegin, nameEnd - nameBegin), line);
        if (!added) {
            return MakeIniError(path, line,
                                "duplicate key %s in section [%s] (first at line %d; names ignore "
                                "case); remove one of them",
                                Quote(entry.name).c_str(), Quote(section.name).c_str(),
                                first->second);
        }
        section.entries.push_back(std::move(entry));
    }
    return Success();
}

IniResult ParseIniFile(const char* path, IniFile* out) {
    out->path = path != nullptr ? path : "";
    out->sections.clear();
    if (path == nullptr || path[0] == '\0') {
        return MakeIniError("", 0, "no file name given");
    }
    const std::string native = NormalisePath(path);
    errno = 0;
    std::FILE* file = std::fopen(native.c_str(), "rb");
    if (file == nullptr) {
        const int error = errno;
        IniResult result = MakeIniError(path, 0,
                                        "cannot open the file (%s); check that it exists "
                                        "and is readable",
                                        std::strerror(error));
        result.notFound = error == ENOENT ? 1 : 0;
        return result;
    }
    std::string data;
    char chunk[16384];
    bool failed = false;
    for (;;) {
        const size_t got = std::fread(chunk, 1, sizeof chunk, file);
        data.append(chunk, got);
        if (data.size() > kIniMaxFileSize) {
            break;
        }
        if (got < sizeof chunk) {
            failed = std::ferror(file) != 0;
            break;
        }
    }
    std::fclose(file);
    if (failed) {
        return MakeIniError(path, 0,
                            "cannot read the file; check that it is a readable file, not a "
                            "directory");
    }
    return ParseIniText(path, data.data(), data.size(), out);
}

IniResult LoadIniDocumentFromText(const char* path, const char* data, size_t size, int addMissing,
                                  ConfigDocument* doc, int32_t headroom) {
    DestroyIniDocument(doc);
    IniResult result = CheckDocumentPath(path);
    if (result.ok != 0) {
        IniFile file;
        result = ParseIniText(path, data, size, &file);
        if (result.ok != 0) {
            result = BuildDocument(file, path, addMissing, headroom, doc);
        }
    }
    return FinishLoad(std::move(result), addMissing, doc);
}

IniResult LoadIniDocument(const char* path, int addMissing, ConfigDocument* doc, int32_t headroom) {
    DestroyIniDocument(doc);
    IniResult result = CheckDocumentPath(path);
    if (result.ok != 0) {
        IniFile file;
        result = ParseIniFile(path, &file);
        if (result.ok != 0) {
            result = BuildDocument(file, path, addMissing, headroom, doc);
        }
    }
    return FinishLoad(std::move(result), addMissing, doc);
}

int InitEmptyIniDocument(ConfigDocument* doc, const char* path, int addMissing, int32_t poolSize) {
    DestroyIniDocument(doc);
    SetWords(doc, addMissing);
    const char* name = path != nullptr ? path : "";
    if (std::strlen(name) >= sizeof doc->fileName) {
        return 0;
    }
    doc->strings.Reset(poolSize > 0 ? poolSize : 0);
    if (doc->strings.start == nullptr) {
        return 0;
    }
    CopyText(doc->fileName, name, sizeof doc->fileName);
    return 1;
}

void DestroyIniDocument(ConfigDocument* doc) {
    doc->DestroySections();
    doc->strings.Release();
    std::memset(doc->fileName, 0, sizeof doc->fileName);
}
