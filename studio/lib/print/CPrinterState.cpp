#include "print/CPrinterState.h"

#include "base/Gbk.h"

#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>

#include <cstdint>
#include <cstring>

CPrinterState::CPrinterState() : m_record(kDevModeBytes, '\0') {}

CPrinterState::~CPrinterState() = default;

int CPrinterState::HasPrinter() const {
    if (!m_printer) return 0;
    if (!m_printer->outputFileName().isEmpty()) return 1;
    return !m_printer->printerName().isEmpty() && m_printer->isValid() ? 1 : 0;
}

void CPrinterState::EnsurePrinter() {
    if (!m_printer) m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
}

int CPrinterState::SetDevMode(const std::string& bytes) {
    if (bytes.size() != kDevModeBytes) return 0;
    EnsurePrinter();
    m_record = bytes;
    const std::string device = kx::GetFixedText(m_record.data() + kDeviceNameOffset, kDeviceNameBytes);
    // A printer that has gone from the system leaves the current one in place.
    if (!device.empty() && QPrinterInfo::availablePrinterNames().contains(QString::fromStdString(device)))
        m_printer->setPrinterName(QString::fromStdString(device));
    uint16_t orientation = 0;
    std::memcpy(&orientation, m_record.data() + kOrientationOffset, sizeof orientation);
    SetOrientation(orientation);
    return 1;
}

std::string CPrinterState::GetDevMode() const {
    if (!m_printer) return {};
    std::string record = m_record;
    kx::PutFixedText(record.data() + kDeviceNameOffset, kDeviceNameBytes, m_printer->printerName().toStdString());
    const uint16_t orientation = static_cast<uint16_t>(GetOrientation());
    std::memcpy(record.data() + kOrientationOffset, &orientation, sizeof orientation);
    return record;
}

int CPrinterState::GetOrientation() const {
    if (!m_printer) return 0;
    return m_printer->pageLayout().orientation() == QPageLayout::Landscape ? ORIENT_LANDSCAPE : ORIENT_PORTRAIT;
}

void CPrinterState::SetOrientation(int orientation) {
    if (orientation != ORIENT_PORTRAIT && orientation != ORIENT_LANDSCAPE) return;
    EnsurePrinter();
    m_printer->setPageOrientation(orientation == ORIENT_LANDSCAPE ? QPageLayout::Landscape : QPageLayout::Portrait);
}
