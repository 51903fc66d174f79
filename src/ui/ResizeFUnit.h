#pragma once
// TResizeForm: the dialog of "Bildgröße ändern...". It is made once and kept, so its check
// boxes keep their state from one use to the next; the fields and the reference size are set
// anew on every opening. With "Effekte mitskalieren" a size change that scales the lettering also
// scales the settings that count pixels (the settings table knows them); the dialog says which
// of them would be held at the limit of their field.

#include <QDialog>
#include <cstdint>
#include <vector>

#include "document/LetteringSettings.h"
#include "document/SettingsTable.h"

class QCheckBox;
class QLabel;
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
    QCheckBox* SkalEffekte;
    QLabel* GrenzLabel;
    QPushButton* OkBtn;
    QPushButton* CancelBtn;

    // The picture size the dialog was opened with; the side ratio is always that of this size.
    void SetReference(std::int32_t width, std::int32_t height);
    std::int32_t ReferenceWidth() const { return referenceWidth_; }
    std::int32_t ReferenceHeight() const { return referenceHeight_; }

    // The settings whose pixel measures a size change would scale, for the note on the limits.
    void SetSettings(const LetteringSettings& settings);
    // Whether the size change scales the pixel measures: only with the lettering.
    bool ScalesEffects() const;
    // The pixel measures of `settings` as the size in the fields scales them.
    std::vector<ScaledMeasure> ScaledEffects(const LetteringSettings& settings) const;

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
    void ShowLimits();
    LetteringSettings settings_;
    std::int32_t referenceWidth_ = 450;
    std::int32_t referenceHeight_ = 200;
    // Set while one field is being set from the other, so that the change this causes in the
    // other field is not answered again.
    bool echoGuard_ = false;
};

}  // namespace gw
