#include "qt/KxEdit.h"

#include "base/Gbk.h"
#include "qt/KxPrompt.h"

#include <QEvent>
#include <QValidator>

namespace kx {

namespace {

// The longest prefix of `text` (in whole characters) that fits in `bytes` GBK bytes.
QString FitGbk(const QString& text, size_t bytes) {
    std::string utf8 = text.toStdString();
    std::string gbk = ToGbk(utf8);
    if (gbk.size() <= bytes) return text;
    size_t cut = GbkCutPoint(gbk, bytes);
    return QString::fromStdString(FromGbk(gbk.substr(0, cut)));
}

bool AllDigits(const QString& text) {
    for (QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    return true;
}

} // namespace

// Checks each change a person makes against the edit's rules. The inserted part is what lies
// between the common head and tail of the text before and after the change.
class Edit::Rules : public QValidator {
public:
    explicit Rules(Edit* edit) : QValidator(edit), edit_(edit) {}

    State validate(QString& input, int& pos) const override {
        if (edit_->inputDepth_ == 0) return Acceptable; // set by code: shown whole
        const QString& before = edit_->before_;
        int head = 0;
        const int most = std::min(before.size(), input.size());
        while (head < most && before[head] == input[head]) ++head;
        int tail = 0;
        while (tail < most - head &&
               before[before.size() - 1 - tail] == input[input.size() - 1 - tail])
            ++tail;
        QString inserted = input.mid(head, input.size() - head - tail);
        if (inserted.isEmpty()) return Acceptable; // a deletion is always allowed

        if (edit_->digitsOnly_ && !AllDigits(inserted)) return Invalid;
        if (!HasGbkForm(inserted.toStdString())) {
            Prompt(edit_, kNoGbkForm, PromptOk, PromptWarning);
            return Invalid;
        }
        if (edit_->limitBytes_ <= 0) return Acceptable;
        const QString kept = input.left(head) + input.right(tail);
        const size_t keptBytes = GbkLength(kept.toStdString());
        const size_t limit = static_cast<size_t>(edit_->limitBytes_);
        if (GbkLength(input.toStdString()) <= limit) return Acceptable;
        const size_t room = keptBytes < limit ? limit - keptBytes : 0;
        const QString fitted = FitGbk(inserted, room);
        if (fitted.isEmpty()) return Invalid; // nothing of it fits: refused as typed
        input = input.left(head) + fitted + input.right(tail);
        pos = head + fitted.size();
        return Acceptable;
    }

private:
    Edit* edit_;
};

Edit::Edit(QWidget* parent) : QLineEdit(parent) {
    setValidator(new Rules(this));
}

void Edit::SetLimitText(int bytes) {
    limitBytes_ = bytes > 0 ? bytes : 0;
}

void Edit::SetDigitsOnly(bool digitsOnly) {
    digitsOnly_ = digitsOnly;
}

bool Edit::event(QEvent* e) {
    switch (e->type()) {
    case QEvent::KeyPress:
    case QEvent::InputMethod:
    case QEvent::Drop:
    case QEvent::MouseButtonRelease: // the middle button pastes the selection
    case QEvent::ContextMenu: {      // the menu's paste runs inside this event
        if (inputDepth_++ == 0) before_ = text();
        bool handled = QLineEdit::event(e);
        --inputDepth_;
        return handled;
    }
    default:
        return QLineEdit::event(e);
    }
}

} // namespace kx
