// The contract journal and the breaches the checker found.
//
// Every service call a plug-in makes is written to the journal as one readable line, so that a
// person (or a test) sees what the screen asked of the shell, in order. A breach is a broken
// promise of the shell contract (a service not released, a document not given back, a directory
// not popped, memory left behind); breaches are also journal lines, and any breach makes the
// session's exit status non-zero. The journal never fails and never throws into a plug-in's call.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace host {

class Journal {
public:
    // One call or event, e.g. "MMG LockPilotRoster -> pilots\roster.ini".
    void Record(const std::string& line);
    // A breach of the contract: recorded both as a journal line ("BREACH ...") and in Breaches().
    void Breach(const std::string& what);
    // A note from the shell itself (not a plug-in call): a missing table, a navigation.
    void Note(const std::string& line);
    // A failure of the shell itself that the person must know about (a document that could not
    // be written): a journal line "ERROR ..." and an entry in Errors(); also a non-zero exit.
    void Error(const std::string& what);

    const std::vector<std::string>& Lines() const { return lines_; }
    const std::vector<std::string>& Breaches() const { return breaches_; }
    const std::vector<std::string>& Errors() const { return errors_; }
    // Lines recorded since the last call (the driver prints them after each step).
    std::vector<std::string> TakeNew();

private:
    std::vector<std::string> lines_;
    std::vector<std::string> breaches_;
    std::vector<std::string> errors_;
    size_t shown_ = 0;
};

// printf-style formatting into a std::string (bounded internally, never throws on format).
// (MinGW's C++ runtime formats with its ANSI printf, which knows %zu and %lld.)
std::string Format(const char* format, ...)
#if defined(__MINGW32__)
    __attribute__((format(gnu_printf, 1, 2)))
#elif defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// A text handed in by a plug-in, read at most `limit` bytes (it may be unterminated), quoted for
// the journal; none shows as "none".
std::string Quote(const char* text, size_t limit = 260);
// The same text unquoted ("" for none).
std::string Bounded(const char* text, size_t limit = 260);

} // namespace host
