// The shell's INI reader: turns an INI file into the ConfigDocument the plug-ins are lent, and into
// a plain parsed form (with line numbers) for the host's own catalogues.
//
// Accepted syntax, one item a line:
//   [Section]        a section header; white space inside the brackets is trimmed; after "]"
//                    only white space or a ";" / "#" comment may follow
//   Key=Text         a key of the section above; name and text are trimmed; the text may be
//                    empty and is taken as it is (no quoting, no inline comments)
//   ; or # ...       a comment line (leading white space allowed); blank lines are ignored
// Line ends may be LF or CRLF; a UTF-8 byte-order mark at the very start is skipped. Section names
// are unique in a file and key names unique in a section, both ignoring the case of ASCII letters.
//
// Refused, each with the file, the line and what to do: an unterminated section header, an empty
// section or key name, a key outside a section, a line without "=", a duplicate section or key,
// a line longer than kIniMaxLineLength bytes, a byte that is not text (NUL, or a control byte
// other than tab and the line end), a file larger than kIniMaxFileSize, an unreadable file.
//
// Documents: LoadIniDocument fills a ConfigDocument as the plug-ins expect of a loaded one:
// fileName set, one section per section and one value per key in file order, every value made by
// the text constructor (type 0 with its integer and float conversions), names and texts in the
// document's pool, which is sized from the file with kIniPoolHeadroom bytes left free for
// additions, and the words kIniEmptyWord, kIniTrueWord and kIniFalseWord (static: they outlive
// every document). Sections and values are allocated with `new` (MEM under the host's tag), the
// pool with MemAlloc, so the host's framework must be bound before a document is loaded.
//
// A document that could not be read completely is never left half-filled: it is emptied and its
// fileName is left empty, so that a Save without a new name fails instead of replacing the file
// that could not be read. The result says why.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/config_document.h"

constexpr size_t kIniMaxLineLength = 4096;              // bytes, line end not counted
constexpr size_t kIniMaxFileSize = 16u * 1024u * 1024u; // bytes
constexpr int32_t kIniPoolHeadroom = 64 * 1024;         // free pool bytes after loading

extern const char kIniEmptyWord[]; // ""
extern const char kIniTrueWord[];  // "TRUE"
extern const char kIniFalseWord[]; // "FALSE"

struct IniResult {
    int ok = 0;          // 1 when the whole file was read
    int notFound = 0;    // 1 when the file does not exist (ok is then 0)
    int line = 0;        // line of the first error; 0 when the error is not bound to a line
    std::string message; // "<file>:<line>: what is wrong; what to do"; empty when ok
};

struct IniEntry {
    std::string name; // trimmed
    std::string text; // trimmed, possibly empty
    int line = 0;
};

struct IniSection {
    std::string name; // trimmed
    int line = 0;
    std::vector<IniEntry> entries; // file order

    // The entry of that name ignoring case, or none.
    const IniEntry* Find(const char* key) const;
};

struct IniFile {
    std::string path;
    size_t byteSize = 0;
    std::vector<IniSection> sections; // file order

    const IniSection* Find(const char* section) const;
};

// Parses `size` bytes of INI text; `path` only names the file in messages. `out` holds what was
// read before an error.
IniResult ParseIniText(const char* path, const char* data, size_t size, IniFile* out);
// Reads and parses a file. `path` may use "\" or "/" on every platform.
IniResult ParseIniFile(const char* path, IniFile* out);

// Loads a file into `doc` (whatever it held is destroyed first). `headroom` is the pool's free
// room after loading.
IniResult LoadIniDocument(const char* path, int addMissing, ConfigDocument* doc,
                          int32_t headroom = kIniPoolHeadroom);
// The same from text in memory; `path` becomes the fileName.
IniResult LoadIniDocumentFromText(const char* path, const char* data, size_t size, int addMissing,
                                  ConfigDocument* doc, int32_t headroom = kIniPoolHeadroom);

// Makes `doc` an empty document for `path` (a file that does not exist yet): no sections, a pool
// of `poolSize` free bytes, the words and addMissing set. 0 when the path does not fit fileName
// or the pool cannot be allocated (the document is then empty with an empty fileName).
int InitEmptyIniDocument(ConfigDocument* doc, const char* path, int addMissing,
                         int32_t poolSize = kIniPoolHeadroom);

// Releases the sections, values and pool of a document the host loaded; fileName becomes empty.
void DestroyIniDocument(ConfigDocument* doc);

// A failed result: message "<path>:<line>: <formatted text>" (no line part when line is 0).
IniResult MakeIniError(const char* path, int line, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 3, 4)))
#endif
    ;

// The key under which names are compared: ASCII letters folded to lower case, double-byte
// characters of the active code page kept as they are.
std::string FoldIniName(const char* text, size_t length);
std::string FoldIniName(const char* text);
