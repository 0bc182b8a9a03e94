// The keyword query dialog: keywords picked in the keyword chooser and whether a file must hold
// all of them or any one. After OK the caller reads the ids and the mode and starts the query.
#pragma once

#include "qt/KxDialog.h"

#include <vector>

class CDlgKeywordChooser;
class CStudioLink;
class QRadioButton;

class CDlgQueryKeyword : public kx::Dialog {
    Q_OBJECT
public:
    enum ControlId { IDC_FRAME = 1153, IDC_MATCH_ALL = 1154, IDC_MATCH_ANY = 1155 };
    enum Mode { kMatchAll = 1, kMatchAny = 2 };

    explicit CDlgQueryKeyword(CStudioLink& link, QWidget* parent = nullptr);

    bool IsMatchAll() const { return m_nMode == kMatchAll; }
    bool IsMatchAny() const { return m_nMode == kMatchAny; }
    CDlgKeywordChooser* Chooser() const { return m_chooser; }

    // The chosen keyword ids in the order they were bound, filled on OK.
    std::vector<int> m_keywordIds;

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    void SetMode(int mode);

    CDlgKeywordChooser* m_chooser = nullptr;
    QRadioButton* m_all = nullptr;
    QRadioButton* m_any = nullptr;
    int m_nMode = kMatchAll;
};
