// The body of the library's small name-and-note dialogs (keywords, keyword groups, shares,
// bookmarks): a group box with the name edit (1030) and, where the entity has one, the note edit
// (1020), both stopping at 45 GBK bytes as typed; OK and Cancel. OK takes the texts into the
// dialog's copy and checks: name empty, name over 50 bytes, note over 50 bytes.
#pragma once

#include "ui/KxShowDlg.h"
#include "qt/KxEdit.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

namespace kx {

struct NameNoteTexts {
    const char* caption;
    const char* group;
    const char* nameEmpty;
    const char* nameTooLong;
};

template <class T>
class NameNoteDlg : public EntityDlg<T> {
    using Base = EntityDlg<T>;
    static constexpr bool kHasNote = requires(T t) { t.m_strNote; };

public:
    NameNoteDlg(const NameNoteTexts& texts, bool canCreate, QWidget* parent)
        : Base(parent), texts_(texts), canCreate_(canCreate) {
        if (!canCreate_) this->m_nNew = 0;
        this->setWindowTitle(QString::fromUtf8(texts.caption));
        auto* layout = new QVBoxLayout(this);
        auto* box = new QGroupBox(QString::fromUtf8(texts.group), this);
        auto* form = new QFormLayout(box);
        form->addRow(QStringLiteral("名  称"), MakeEdit(this, IDC_EDT_NAME));
        if constexpr (kHasNote) form->addRow(QStringLiteral("备  注"), MakeEdit(this, IDC_EDT_NOTE));
        layout->addWidget(box);
        AddOkCancel(this, layout);
        this->resize(300, this->sizeHint().height());
    }

protected:
    void OnInitDialog() override {
        Base::OnInitDialog();
        if (canCreate_) SetOkTextByNewFlag(this, this->m_nNew);
    }

    void DoDataExchange(DataExchange& dx) override {
        if (!this->ExchangeRuns(dx)) return;
        DDX_Text(dx, IDC_EDT_NAME, this->m_Entity.m_strName);
        if constexpr (kHasNote) DDX_Text(dx, IDC_EDT_NOTE, this->m_Entity.m_strNote);
    }

    void OnOK() override {
        if (!this->UpdateData(true)) return;
        const std::string& name = this->m_Entity.m_strName;
        OkChecks ok(*this);
        ok.NotEmpty(IDC_EDT_NAME, name, texts_.nameEmpty)
            .AtMost(IDC_EDT_NAME, name, texts_.nameTooLong);
        if constexpr (kHasNote) ok.AtMost(IDC_EDT_NOTE, this->m_Entity.m_strNote, kNoteTooLong);
        if (ok.Passed()) this->EndDialog(IDOK);
    }

private:
    NameNoteTexts texts_;
    bool canCreate_;
};

} // namespace kx
