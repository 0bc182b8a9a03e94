#include "dlg/CDlgLogin.h"

#include "app/CVarniaStudioApp.h"
#include "frame/CMainFrame.h"
#include "session/CStudioLink.h"

#include "model/CkxClient.h"
#include "protocol/KxMessage.h"
#include "model/CkxXXX.h"
#include "qt/KxDataExchange.h"
#include "qt/KxEdit.h"
#include "qt/KxIpAddressCtrl.h"
#include "qt/KxLoginFields.h"
#include "qt/KxPrompt.h"
#include "transport/NetPort.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRegion>
#include <QTimer>

namespace {

constexpr int kWaitTickMs = 100;
constexpr const char* kWrongPassword = "用户密码错误";

std::string AddressText(const std::array<int, 4>& a) {
    return std::to_string(a[0]) + "." + std::to_string(a[1]) + "." + std::to_string(a[2]) + "." + std::to_string(a[3]);
}

} // namespace

QImage CDlgLogin::Skin(const QSize& size) {
    QImage skin(size, QImage::Format_RGB32);
    QPainter p(&skin);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor(0x2B, 0x5C, 0x8A));
    sky.setColorAt(0.45, QColor(0x9C, 0xC3, 0xE6));
    sky.setColorAt(1, QColor(0xF2, 0xF5, 0xF8));
    p.fillRect(skin.rect(), sky);
    p.setPen(Qt::white);
    QFont title = p.font();
    title.setPointSize(16);
    title.setBold(true);
    p.setFont(title);
    p.drawText(QRect(0, 8, size.width(), 40), Qt::AlignCenter, QStringLiteral("Varnia Studio"));
    // Rounded top corners: the black pixels outside the arcs are cut from the window.
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            if ((10 - x) * (10 - x) + (10 - y) * (10 - y) > 100) {
                skin.setPixel(x, y, 0xFF000000u);
                skin.setPixel(size.width() - 1 - x, y, 0xFF000000u);
            }
    return skin;
}

CDlgLogin::CDlgLogin(CVarniaStudioApp& app, QWidget* parent) : kx::Dialog(parent), m_app(app) {
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setWindowTitle(QStringLiteral("登录服务器"));
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(40, 60, 40, 16);
    m_address = new kx::IpAddressCtrl(this);
    SetDlgItemId(m_address, IDC_ADDRESS);
    m_name = new QComboBox(this);
    SetDlgItemId(m_name, IDC_NAME);
    m_name->setEditable(true);
    m_name->setLineEdit(new kx::Edit(m_name)); // a character with no GBK form is refused as typed
    m_name->setInsertPolicy(QComboBox::NoInsert);
    m_password = new kx::Edit(this);
    SetDlgItemId(m_password, IDC_PASSWORD);
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setMaxLength(kPasswordChars);
    const std::pair<const char*, QWidget*> rows[] = {{"服务器IP", m_address}, {"登 录 名", m_name}, {"密    码", m_password}};
    int row = 0;
    for (const auto& [label, control] : rows) {
        auto* text = new QLabel(QString::fromUtf8(label), this);
        grid->addWidget(text, row, 0);
        grid->addWidget(control, row++, 1, 1, 2);
    }
    m_login = AddButton(QStringLiteral("登  录(&L)"), IDC_LOGIN);
    m_login->setDefault(true);
    m_cancel = AddButton(QStringLiteral("取  消(&Q)"), IDC_CANCEL);
    connect(m_login, &QPushButton::clicked, this, [this] { OnLogin(); });
    connect(m_cancel, &QPushButton::clicked, this, [this] {
        if (!m_nLockMode) EndDialog(kx::IDCANCEL);
    });
    grid->addWidget(m_login, row, 1);
    grid->addWidget(m_cancel, row, 2);
    // 278 x 166 dialog units.
    setFixedSize(417, 270);
    m_waitTimer = new QTimer(this);
    m_waitTimer->setInterval(kWaitTickMs);
    connect(m_waitTimer, &QTimer::timeout, this, [this] { OnWaitTick(); });
}

CDlgLogin::~CDlgLogin() {
    CStudioLink& link = m_app.GetLink();
    if (link.GetLoginDialog() == this) link.SetLoginDialog(nullptr);
}

void CDlgLogin::DoDataExchange(kx::DataExchange& dx) {
    if (dx.Saving()) m_strLogon = m_name->currentText().toStdString();
    else m_name->setEditText(QString::fromStdString(m_strLogon));
    kx::DDX_Text(dx, IDC_PASSWORD, m_strPassword);
}

void CDlgLogin::OnInitDialog() {
    CutRegion();
    m_app.GetLink().SetLoginDialog(this);
    const CkxProfile& profile = m_app.GetProfile();
    const uint32_t stored = profile.Reg_Read(kSrvIP, static_cast<uint32_t>(-1));
    if (stored != static_cast<uint32_t>(-1)) m_address->SetAddress(stored);
    const std::string user = profile.Reg_Read(kUser, 30u, std::string());
    std::vector<std::string> names;
    m_app.ReadLoginHistory(names);
    m_name->clear();
    for (const std::string& n : names) m_name->addItem(QString::fromStdString(n));
    if (m_nLockMode) {
        m_login->setText(QStringLiteral("进入系统(&L)"));
        for (QWidget* w : {static_cast<QWidget*>(m_cancel), static_cast<QWidget*>(m_address), static_cast<QWidget*>(m_name)})
            w->setEnabled(false);
        const CkxUser* me = KX_KXXXX().m_UserList.Find(m_app.GetLink().GetCurrentUserId());
        // The user's name; without the record the log-on name stands in, so the check below
        // (not an empty field) is what refuses.
        m_strLogon = me ? me->m_strUser : m_app.GetLoggedInUser();
    } else {
        m_login->setText(QStringLiteral("登  录(&L)"));
        m_strLogon = user;
    }
    m_strPassword.clear();
    kx::Dialog::OnInitDialog();
    m_password->setFocus(Qt::OtherFocusReason);
}

void CDlgLogin::OnOK() { OnLogin(); }

void CDlgLogin::OnCancel() {
    // Escape and the close command do nothing: only the cancel button leaves (normal mode).
}

void CDlgLogin::OnLogin() {
    // One log-on at a time: the button is off while the answer is awaited.
    if (m_bWaiting || !UpdateData(true)) return;
    const std::array<int, 4> address = m_address->GetNumbers();
    const kx::LoginCheck check = kx::CheckLoginFields(address, m_strLogon, m_strPassword);
    if (!check.Passed()) {
        kx::Prompt(this, check.message, kx::PromptOk, kx::PromptWarning);
        switch (check.field) {
        case kx::LoginField::Address: m_address->SetFieldFocus(0); break;
        case kx::LoginField::Name:
            if (check.empty) m_name->setEditText(QString());
            m_name->setFocus(Qt::OtherFocusReason);
            break;
        case kx::LoginField::Password:
            if (check.empty) m_password->clear();
            m_password->setFocus(Qt::OtherFocusReason);
            break;
        case kx::LoginField::None: break;
        }
        return;
    }
    if (m_nLockMode) {
        // Only the logged-on user's own record with this password unlocks; without the record
        // nothing proves who is at the keyboard.
        const CkxUser* me = KX_KXXXX().m_UserList.Find(m_app.GetLink().GetCurrentUserId());
        if (!me || me->m_strPassword != m_strPassword) {
            kx::Prompt(this, kWrongPassword, kx::PromptOk, kx::PromptError);
            m_password->setFocus(Qt::OtherFocusReason);
            return;
        }
        EndDialog(kx::IDOK);
        return;
    }
    CkxClient client;
    client.m_strLogon = m_strLogon;
    client.m_strPassword = m_strPassword;
    client.Set_MS_Studio();
    if (!m_app.GetLink().SendLoginRequest(kx::ServicePort(), AddressText(address), client)) {
        kx::Prompt(this, kx::kLoginConnectFailed, kx::PromptOk, kx::PromptError);
        return;
    }
    m_sentAddress = address;
    SetWaiting(true);
    uint32_t packed = 0;
    m_address->GetAddress(packed);
    CkxProfile& profile = m_app.GetProfile();
    profile.Reg_Write(kSrvIP, packed);
    profile.Reg_Write(kUser, m_strLogon);
    // The password is not kept: nothing reads it back, and it would lie there in plain text.
}

void CDlgLogin::SetWaiting(bool waiting) {
    m_bWaiting = waiting;
    m_login->setEnabled(!waiting);
    if (waiting) m_waitTimer->start();
    else m_waitTimer->stop();
}

void CDlgLogin::OnWaitTick() {
    // A connection that breaks before the answer: the user may try again.
    const CStudioLink& link = m_app.GetLink();
    if (!m_bWaiting || (link.IsRunning() && !link.IsFailed())) return;
    SetWaiting(false);
    SetPanes(kUserPane, kServerPane);
    kx::Prompt(this, kx::kLoginConnectFailed, kx::PromptOk, kx::PromptError);
}

kx::LRESULT CDlgLogin::OnWindowMessage(unsigned message, kx::WPARAM wParam, kx::LPARAM lParam) {
    if (message == kx::WM_COMMAND && wParam == static_cast<kx::WPARAM>(CServerLink::kLoginAnswered)) {
        OnLoginReply();
        return 1;
    }
    return kx::Dialog::OnWindowMessage(message, wParam, lParam);
}

void CDlgLogin::OnLoginReply() {
    if (!m_bWaiting) return; // not an answer to a log-on sent from here
    SetWaiting(false);
    const int result = m_app.GetLink().GetLoginResult();
    if (result != kx::kLogonOk) {
        if (const char* text = kx::LoginRefusalText(result)) kx::Prompt(this, text, kx::PromptOk, kx::PromptWarning);
        SetPanes(kUserPane, kServerPane);
        return;
    }
    m_app.SetLoggedInUser(m_strLogon);
    m_app.GetLink().SetLoginDialog(nullptr);
    SetPanes(kUserPane + m_strLogon, kServerPane + AddressText(m_sentAddress));
    std::vector<std::string> names;
    m_app.ReadLoginHistory(names);
    m_app.WriteLoginHistory(kx::PushLoginHistory(std::move(names), m_strLogon));
    EndDialog(kx::IDOK);
}

void CDlgLogin::SetPanes(const std::string& user, const std::string& server) {
    if (CMainFrame* frame = m_app.GetMainFrame()) {
        frame->SetUserText(user);
        frame->SetServerText(server);
    }
}

// ---- Skin, shape and dragging ----

void CDlgLogin::CutRegion() {
    const QImage skin = Skin(size());
    QRegion region(rect());
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            for (int cx : {x, width() - 10 + x})
                if ((skin.pixel(cx, y) & 0xFFFFFFu) == 0) region -= QRegion(cx, y, 1, 1);
    setMask(region);
}

void CDlgLogin::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(rect(), Skin(size()));
}

void CDlgLogin::resizeEvent(QResizeEvent* event) {
    kx::Dialog::resizeEvent(event);
    CutRegion();
}

void CDlgLogin::mousePressEvent(QMouseEvent* event) {
    m_dragFrom = event->globalPosition().toPoint() - frameGeometry().topLeft();
    event->accept();
}

void CDlgLogin::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton) move(event->globalPosition().toPoint() - m_dragFrom);
}
