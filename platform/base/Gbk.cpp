#include "base/Gbk.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace kx {
namespace {

// One iconv descriptor per thread and direction: a descriptor carries shift state and must not
// be shared between threads.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts `in`; on an unconvertible or invalid sequence calls skip(in, out) which emits a
    // replacement and returns how many input bytes to drop (0 ends the conversion).
    template <class Skip>
    std::string run(std::string_view in, Skip skip) {
        std::string out;
        if (!ok()) return out;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        out.reserve(in.size() * 3 / 2 + 8);
        char buf[1024];
        const char* src = in.data();
        size_t left = in.size();
        while (left > 0) {
            char* dst = buf;
            size_t room = sizeof buf;
            size_t r = iconv(cd_, const_cast<char**>(&src), &left, &dst, &room);
            out.append(buf, dst - buf);
            if (r == static_cast<size_t>(-1)) {
                if (errno == E2BIG) continue;
                size_t drop = skip(std::string_view(src, left), out);
                if (drop == 0 || drop > left) break;
                src += drop;
                left -= drop;
                iconv(cd_, nullptr, nullptr, nullptr, nullptr);
            }
        }
        return out;
    }

private:
    iconv_t cd_;
};

size_t Utf8SeqLen(unsigned char c) {
    if (c < 0x80) return 1;
    if ((c & 0xE0) == 0xC0) return 2;
    if ((c & 0xF0) == 0xE0) return 3;
    if ((c & 0xF8) == 0xF0) return 4;
    return 1;
}

Converter& ToGbkConv() {
    thread_local Converter c("CP936", "UTF-8");
    return c;
}
Converter& FromGbkConv() {
    thread_local Converter c("UTF-8", "CP936");
    return c;
}

bool IsLead(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

} // namespace

std::string ToGbk(std::string_view utf8) {
    return ToGbkConv().run(utf8, [](std::string_view rest, std::string& out) {
        out.push_back('?');
        size_t n = Utf8SeqLen(static_cast<unsigned char>(rest[0]));
        return n <= rest.size() ? n : rest.size();
    });
}

std::string FromGbk(std::string_view gbk) {
    return FromGbkConv().run(gbk, [](std::string_view rest, std::string& out) -> size_t {
        // A lone lead byte at the very end is a character cut by a fixed width: drop it.
        if (rest.size() == 1 && IsLead(static_cast<unsigned char>(rest[0]))) return 1;
        out.push_back('?');
        return 1;
    });
}

bool HasGbkForm(std::string_view utf8) {
    bool clean = true;
    ToGbkConv().run(utf8, [&clean](std::string_view rest, std::string&) {
        clean = false;
        return rest.size();
    });
    return clean;
}

size_t GbkLength(std::string_view utf8) { return ToGbk(utf8).size(); }

size_t GbkCutPoint(std::string_view gbk, size_t max) {
    size_t i = 0;
    while (i < gbk.size()) {
        size_t n = IsLead(static_cast<unsigned char>(gbk[i])) ? 2 : 1;
        if (i + n > max || i + n > gbk.size()) break;
        i += n;
    }
    return i;
}

void PutFixedText(char* field, size_t width, std::string_view utf8) {
    if (field == nullptr || width == 0) return;
    std::memset(field, 0, width);
    std::string gbk = ToGbk(utf8);
    size_t n = GbkCutPoint(gbk, width - 1);
    std::memcpy(field, gbk.data(), n);
}

std::string GetFixedText(const char* field, size_t width) {
    if (field == nullptr) return {};
    size_t n = 0;
    while (n < width && field[n] != '\0') ++n;
    return FromGbk(std::string_view(field, n));
}

} // namespace kx

namespace kx {

std::string FitText(std::string_view utf8, size_t width) {
    if (width == 0) return {};
    std::string gbk = ToGbk(utf8);
    if (gbk.size() <= width - 1 && HasGbkForm(utf8)) return std::string(utf8);
    return FromGbk(std::string_view(gbk.data(), GbkCutPoint(gbk, width - 1)));
}

std::string CutUtf8(std::string_view utf8, size_t max) {
    if (utf8.size() <= max) return std::string(utf8);
    size_t n = max;
    // Step back over continuation bytes to the start of the character that crosses the limit.
    while (n > 0 && (static_cast<unsigned char>(utf8[n]) & 0xC0) == 0x80) --n;
    return std::string(utf8.substr(0, n));
}

} // namespace kx
