// CkxQuerySQL: the literal formatters and comparison-operator texts that SQL conditions are
// built from. Numbers are written independently of the process locale (a program may run with
// a decimal comma), texts have their single quotes doubled, and dates are quoted ISO text.
#pragma once

#include "model/KxExport.h"
#include "base/OleDate.h"

#include <string>
#include <string_view>

class KX_EXPORT CkxQuerySQL {
public:
    // Comparison codes of query operands.
    enum {
        OS_UNK = 1,
        OS_EQUAL = 11,
        OS_NOTEQUAL = 12,
        OS_GREAT = 13,
        OS_GREATEQUAL = 14,
        OS_LESS = 15,
        OS_LESSEQUAL = 16,
        OS_FROMTO = 17,
        OS_FROMTO_CLOSE = 18,
        OS_FROMTO_CLOSELEFT = 19,
        OS_FROMTO_CLOSERIGHT = 20,
        OS_KEYWORD = 30,
        OS_INCLUDE = 31,
    };

    // " =  ", " != ", " >  ", " >= ", " <  ", " <= " for 11 to 16; " " for any other code.
    static std::string OS_STR(int code);
    // The code of an operator text (spaces around it ignored); 11 for anything unknown.
    static int OS_ID(std::string_view text);
    // The bare operator of codes 11 to 16 ("=", "!=", ">", ">=", "<", "<="); empty otherwise.
    static const char* OperatorText(int code);

    static std::string FormatStr(unsigned char v) { return std::to_string(v); }
    static std::string FormatStr(short v) { return std::to_string(v); }
    static std::string FormatStr(int v) { return std::to_string(v); }
    // Fixed notation with six decimals, always with a decimal point.
    static std::string FormatStr(float v) { return FormatStr(static_cast<double>(v)); }
    static std::string FormatStr(double v) { return FormatFixed(v, 6); }
    // The quoted date literal 'YYYY-MM-DD HH:MM:SS'.
    static std::string FormatStr(const COleDateTime& v) { return QuoteDate(v.m_dt); }
    static std::string FormatStr(char v) { return std::string(1, v); }
    // The text with its single quotes doubled, for the caller to put between quotes.
    static std::string FormatStr(const std::string& v) { return EscapeText(v); }

    // Fixed notation with the given decimals, '.' as the decimal point whatever the locale.
    static std::string FormatFixed(double v, int decimals);
    static std::string EscapeText(std::string_view text);
    // The text between single quotes, its own single quotes doubled.
    static std::string QuoteText(std::string_view text);
    // 'YYYY-MM-DD HH:MM:SS' for both database kinds.
    static std::string QuoteDate(DATE dt);
    // Whether a date can be written as a literal (finite, years 100 to 9999).
    static bool IsWritableDate(DATE dt);
};
