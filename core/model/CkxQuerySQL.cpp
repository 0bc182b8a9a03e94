#include "model/CkxQuerySQL.h"

#include <charconv>
#include <cmath>

std::string CkxQuerySQL::OS_STR(int code) {
    switch (code) {
    case OS_EQUAL: return " =  ";
    case OS_NOTEQUAL: return " != ";
    case OS_GREAT: return " >  ";
    case OS_GREATEQUAL: return " >= ";
    case OS_LESS: return " <  ";
    case OS_LESSEQUAL: return " <= ";
    default: return " ";
    }
}

const char* CkxQuerySQL::OperatorText(int code) {
    switch (code) {
    case OS_EQUAL: return "=";
    case OS_NOTEQUAL: return "!=";
    case OS_GREAT: return ">";
    case OS_GREATEQUAL: return ">=";
    case OS_LESS: return "<";
    case OS_LESSEQUAL: return "<=";
    default: return "";
    }
}

int CkxQuerySQL::OS_ID(std::string_view text) {
    size_t b = text.find_first_not_of(" \t");
    if (b == std::string_view::npos) return OS_EQUAL;
    size_t e = text.find_last_not_of(" \t");
    text = text.substr(b, e - b + 1);
    for (int code = OS_EQUAL; code <= OS_LESSEQUAL; ++code)
        if (text == OperatorText(code)) return code;
    return OS_EQUAL;
}

std::string CkxQuerySQL::FormatFixed(double v, int decimals) {
    char buf[400];
    auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
    if (r.ec != std::errc()) return "0";
    return std::string(buf, r.ptr);
}

std::string CkxQuerySQL::EscapeText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        out += c;
        if (c == '\'') out += '\'';
    }
    return out;
}

std::string CkxQuerySQL::QuoteText(std::string_view text) { return "'" + EscapeText(text) + "'"; }

bool CkxQuerySQL::IsWritableDate(DATE dt) {
    // 0100-01-01 to 9999-12-31 23:59:59.
    return std::isfinite(dt) && dt >= -657434.0 && dt < 2958466.0;
}

std::string CkxQuerySQL::QuoteDate(DATE dt) { return "'" + kx::IsoDateText(dt) + "'"; }
