// ConfigDocument: the in-memory form of an INI file that the shell lends to the plug-ins.
//
// Sections and keys keep file order, names are matched ignoring case, and every value keeps an
// integer, a text and a float form plus a type code saying which one is current (the form in which
// it was last read or set; Save writes that form). Names and texts live in the document's
// StringPool, which never grows: failures to store are traced and reported as 0. With addMissing
// set, reading a missing key stores the caller's default.
//
// The shell creates, loads and destroys documents; the plug-ins only read and change them. The
// field layout of ConfigDocument is shared with the shell.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/cursor_list.h"
#include "core/memory.h"
#include "core/string_pool.h"

// One key. The constructors trim the name in place (it must be writable: a pooled copy).
struct ConfigValue : MemObject {
    char* name;       // trimmed, in the pool
    int32_t type;     // 0 text, 1 integer, 2 float
    const char* text; // in the pool or one of the document's words; none for no text
    int32_t intValue;
    float floatValue;

    // Integer form current: intValue and floatValue from `value`, no text.
    ConfigValue(char* name, int32_t value);
    // Text form current (type 0), as a loader makes every key: an empty text leaves no text and
    // zero numbers; otherwise intValue and floatValue are the text's leading decimal numbers (0
    // when there are none, clamped to their ranges) and the text is then trimmed in place.
    ConfigValue(char* name, char* text);
    // The same for one of the document's words, which is stored as it is and never written to.
    ConfigValue(char* name, const char* word);
};

struct ConfigSection : MemObject {
    char* name;        // as passed, in the pool
    CursorList values; // ConfigValue pointers, in file order

    explicit ConfigSection(char* name);
    ~ConfigSection(); // releases every value
    ConfigSection(const ConfigSection&) = delete;
    ConfigSection& operator=(const ConfigSection&) = delete;

    // Takes ownership of `value` in every case: 1 when it was appended, 0 (and the value
    // released) for none, a duplicate name (ignoring case) or no memory for the list node.
    int AddValue(ConfigValue* value);
};

// Building a document (the owner's side; the plug-ins never do this): Reset `strings` to a size
// that leaves room for later additions; for each section pool its name (strings.AddString, then
// strings.Current()), `new ConfigSection(name)` and sections.Append it (delete it when the
// append fails); for each key pool name and text, `new ConfigValue(name, text)` and give it to
// the section's AddValue (or values.Append it when the names are known to be unique); set
// fileName, addMissing and the three words. DestroySections undoes all of it except the pool.
struct ConfigDocument {
    char fileName[260];
    CursorList sections; // ConfigSection pointers, in file order
    StringPool strings;
    int32_t addMissing;
    const char* emptyWord;
    const char* trueWord;
    const char* falseWord;

    // An empty document: no sections, no pool, addMissing off, words none. Owners (the shell's
    // loader) fill it; DestroySections releases what it holds.
    ConfigDocument();
    ~ConfigDocument();
    ConfigDocument(const ConfigDocument&) = delete;
    ConfigDocument& operator=(const ConfigDocument&) = delete;

    int32_t GetInt(const char* section, const char* key, int32_t defaultValue);
    // caseMode 1 upper, 2 lower, else as stored (never applied to the default).
    void GetString(const char* section, const char* key, const char* defaultValue, char* buffer,
                   size_t size, int caseMode);
    int GetBool(const char* section, const char* key, int defaultValue);
    int SetInt(const char* section, const char* key, int32_t value);
    int SetString(const char* section, const char* key, const char* text);
    int SetBool(const char* section, const char* key, int flag);
    // Places a new value, making the section when needed. Takes ownership of `value` in every
    // case: on 0 (no value, duplicate key, full pool, no memory) it has been released and the
    // lists are as they were.
    int AddValue(const char* section, ConfigValue* value);
    int HasSection(const char* section);
    int HasKey(const char* section, const char* key);
    // Sections named by `nameFormat` (one integer conversion, e.g. "Pilot%03d") for 1, 2, ...
    // up to the first missing one. 0 for a format with any other conversion.
    int CountNumberedSections(const char* nameFormat);
    // Writes the whole document as INI text (CRLF line ends) to fileName, or first to the new
    // name (resolved with default extension "INI"). 1 only when every byte reached the disk; the
    // old file is replaced only by a completely written one. The text is written to fileName
    // with ".tmp" added, beside the target, and that file is removed when anything fails.
    // Line breaks inside names and texts are written as spaces, so no text can add lines.
    int Save(const char* newFileName);

    // Releases every section and value and clears the list (the owner's teardown; the plug-ins
    // never call it). The pool is left as it is. The destructor calls it.
    void DestroySections();

    // The value found by the last successful lookup, or none.
    ConfigValue* Find(const char* section, const char* key);
};

#if defined(MENU_LAYOUT_32)
static_assert(sizeof(ConfigDocument) == 312);
static_assert(offsetof(ConfigDocument, sections) == 260);
static_assert(offsetof(ConfigDocument, strings) == 280);
static_assert(offsetof(ConfigDocument, addMissing) == 296);
static_assert(offsetof(ConfigDocument, emptyWord) == 300);
static_assert(offsetof(ConfigDocument, trueWord) == 304);
static_assert(offsetof(ConfigDocument, falseWord) == 308);
static_assert(sizeof(ConfigValue) == 20);
#endif
