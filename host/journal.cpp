#include "host/journal.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace host {

void Journal::Record(const std::string& line) {
    lines_.push_back(line);
}

void Journal::Breach(const std::string& what) {
    breaches_.push_back(what);
    lines_.push_back("BREACH " + what);
}

void Journal::Error(const std::string& what) {
    errors_.push_back(what);
    lines_.push_back("ERROR " + what);
}

void Journal::Note(const std::string& line) {
    lines_.push_back("shell: " + line);
}

std::vector<std::string> Journal::TakeNew() {
    std::vector<std::string> out(lines_.begin() + static_cast<std::ptrdiff_t>(shown_),
                                 lines_.end());
    shown_ = lines_.size();
    return out;
}

std::string Format(const char* format, ...) {
    char buffer[2048];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (n < 0) {
        return std::string();
    }
    return std::string(buffer);
}

std::string Bounded(const char* text, size_t limit) {
    if (text == nullptr) {
        return std::string();
    }
    const void* end = std::memchr(text, 0, limit);
    const size_t length =
        end != nullptr ? static_cast<size_t>(static_cast<const char*>(end) - text) : limit;
    return std::string(text, length);
}

std::string Quote(const char* text, size_t limit) {
    if (text == nullptr) {
        return "none";
    }
    std::string out = "\"";
    const std::string body = Bounded(text, limit);
    for (char c : body) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20) {
            out += Format("\\x%02X", u);
        } else if (c == '"') {
            out += "\\\"";
        } else {
            out += c;
        }
    }
    if (std::memchr(text, 0, limit) == nullptr) {
        out += "...(unterminated)";
    }
    out += "\"";
    return out;
}

} // namespace host
