// Single-line edits with the programs' input rules: a typing limit counted in GBK bytes (the
// unit of every stored length), refusal of characters that have no GBK form, and a digits-only
// mode. The rules apply to what a person types, pastes or drops; text set by code (setText) is
// shown whole, so a loaded value longer than the limit stays visible and the OK checks on its
// length stay reachable.
#pragma once

#include <QLineEdit>

namespace kx {

// The one message for typed or pasted text with a character that cannot be stored.
inline constexpr const char* kNoGbkForm = "输入中含有无法保存的字符";

class Edit : public QLineEdit {
    Q_OBJECT
public:
    explicit Edit(QWidget* parent = nullptr);

    // Typing and pasting stop at `bytes` GBK bytes, never inside a character; 0 means no limit.
    void SetLimitText(int bytes);
    int GetLimitText() const { return limitBytes_; }
    // Only the digits 0 to 9 may be typed or pasted.
    void SetDigitsOnly(bool digitsOnly);
    bool DigitsOnly() const { return digitsOnly_; }

protected:
    bool event(QEvent* e) override;

private:
    class Rules;
    friend class Rules;

    int limitBytes_ = 0;
    bool digitsOnly_ = false;
    int inputDepth_ = 0;  // > 0 while a person's key, paste, drop or input-method event runs
    QString before_;      // the text when that event began
};

} // namespace kx
