#pragma once
// "Druckgröße": the printed size of the picture, shown in cm and set by its width or by the
// pixels an inch, asked before the printer dialog and the preview. The print keeps its own
// size for the session; an export's resolution never changes it.

#include <QDialog>
#include <cstdint>
#include <functional>

class QDoubleSpinBox;
class QLabel;

namespace gw {

class TPrintSizeDialog : public QDialog {
    Q_OBJECT

  public:
    // For a picture of width x height pixels, starting at `dpi`.
    TPrintSizeDialog(QWidget* parent, std::int32_t width, std::int32_t height, double dpi);

    QDoubleSpinBox* WidthEd;  // cm
    QDoubleSpinBox* DpiEd;
    QLabel* SizeLabel;

    double Dpi() const;

  private:
    void ShowSize();
    std::int32_t width_;
    std::int32_t height_;
    double dpi_ = 96;
};

// "11,91 × 5,29 cm": the printed size of width x height pixels at `dpi`.
QString PrintedSizeText(std::int32_t width, std::int32_t height, double dpi);

// Asks for the printed size; false when the user cancels, `dpi` then unchanged. A test installs
// a hook that answers instead of the modal dialog.
using PrintSizeHook = std::function<bool(std::int32_t width, std::int32_t height, double& dpi)>;
PrintSizeHook SetPrintSizeHook(PrintSizeHook hook);
bool RunPrintSizeDialog(QWidget* parent, std::int32_t width, std::int32_t height, double& dpi);

}  // namespace gw
