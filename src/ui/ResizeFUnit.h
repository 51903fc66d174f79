#pragma once
// TResizeForm: the dialog of "Bildgröße ändern...". It is made once and kept, so its check
// boxes keep their state from one use to the next; the fields and the reference size are set
// anew on every opening.

#include <QDialog>
#include <cstdint>

class QCheckBox;
class QPushButton;

namespace gw {

class SpinEdit;

class TResizeForm : public QDialog {
    Q_OBJECT

  public:
    explicit TResizeForm(QWidget* parent = nullptr);

    SpinEdit* BreitEdit;
    SpinEdit* HochEdit;
    QCheckBox* SverhCheck;
    QCheckBox* SkalFont;
    QPushButton* OkBtn;
    QPushButton* CancelBtn;

    // The picture size the dialog was opened with; the side ratio is always that of this size.
    void SetReference(std::int32_t width, std::int32_t height);
    std::int32_t ReferenceWidth() const { return referenceWidth_; }
    std::int32_t ReferenceHeight() const { return referenceHeight_; }

    // The size the fields ask for, each within 10 .. 9999.
    std::int32_t NewWidth() const;
    std::int32_t NewHeight() const;

    void BreitEditChange();
    void HochEditChange();
    void SverhCheckClick();
    void FormActivate();

    // A value typed but not yet brought into range (Enter pressed in the field) is brought into
    // range first, as leaving the field would; the side ratio answers that as usual.
    void accept() override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    std::int32_t referenceWidth_ = 450;
    std::int32_t referenceHeight_ = 200;
    // Set while one field is being set from the other, so that the change this causes in the
    // other field is not answered again.
    bool echoGuard_ = false;
};

}  // namespace gw
