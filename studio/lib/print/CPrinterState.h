// CPrinterState: the studio's one printer and the 148-byte record the settings keep of it
// ("PrinterDevMode"). The record is ours: the device name at offset 0 (32 bytes, GBK, NUL-ended)
// and the orientation at offset 44 (16 bits little-endian: 1 portrait, 2 landscape); its other
// bytes are kept as they were last given (zero at first). The application owns one and hands
// its printer to the print job.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

class QPrinter;

class CPrinterState {
public:
    static constexpr size_t kDevModeBytes = 148;
    static constexpr size_t kDeviceNameOffset = 0;
    static constexpr size_t kDeviceNameBytes = 32;
    static constexpr size_t kOrientationOffset = 44;
    enum { ORIENT_PORTRAIT = 1, ORIENT_LANDSCAPE = 2 };

    CPrinterState();
    ~CPrinterState();
    CPrinterState(const CPrinterState&) = delete;
    CPrinterState& operator=(const CPrinterState&) = delete;

    // The printer object, null until EnsurePrinter made it.
    QPrinter* GetPrinter() const { return m_printer.get(); }
    // 1 when there is something to print on: the printer object exists and names a printer the
    // system knows, or prints into a file.
    int HasPrinter() const;
    // Makes the printer object with the system's default printer when there is none yet.
    void EnsurePrinter();
    // The record's bytes put over the printer: its device (when the system knows a printer of
    // that name) and its orientation. 0 for a record that is not 148 bytes (nothing applied).
    int SetDevMode(const std::string& bytes);
    // The printer as a record (empty without a printer object).
    std::string GetDevMode() const;

    // The printer's orientation: 1 portrait, 2 landscape; 0 without a printer object.
    int GetOrientation() const;
    // Sets it (other values are ignored); makes the printer object first.
    void SetOrientation(int orientation);
    void SetPortrait() { SetOrientation(ORIENT_PORTRAIT); }
    void SetLandscape() { SetOrientation(ORIENT_LANDSCAPE); }
    bool IsPortrait() const { return GetOrientation() == ORIENT_PORTRAIT; }
    bool IsLandscape() const { return GetOrientation() == ORIENT_LANDSCAPE; }

private:
    std::unique_ptr<QPrinter> m_printer;
    std::string m_record; // the last record given, 148 bytes
};
