// Knows colours by name: a table of 160 traditional Chinese colour names and a bilingual table of
// 140 web colour names with their Chinese renderings, both built whole by the constructor and
// never changed. Look-ups by name and by colour search the Chinese table only. Names are UTF-8.
#pragma once

#include <string>
#include <vector>

// One table row. englishName is empty in every row of the Chinese table.
struct CNamedColor {
    std::string name;
    std::string englishName;
    int red = 0;
    int green = 0;
    int blue = 0;
};

class CNamedColorLibrary {
public:
    CNamedColorLibrary();
    virtual ~CNamedColorLibrary() = default;

    // The name of the first Chinese row with exactly these components; "" when none matches.
    std::string GetNameByRgb(int red, int green, int blue) const;
    // Writes the components of the first Chinese row named exactly `name` (case-sensitive, whole
    // text); when no row matches the outputs keep what they held.
    void GetRgbByName(const std::string& name, int& red, int& green, int& blue) const;

    const std::vector<CNamedColor>& ChineseTable() const { return m_chinese; }
    const std::vector<CNamedColor>& BilingualTable() const { return m_bilingual; }

private:
    std::vector<CNamedColor> m_chinese;
    std::vector<CNamedColor> m_bilingual;
};
