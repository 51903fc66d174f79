#pragma once
// The keyboard and the tool tips of a gallery's paint box. The box takes the focus (Tab or a
// click); the arrow keys move a focus cell, drawn while the box has the focus, and Enter or Space
// picks that cell exactly as a click on it does. Hovering a cell shows its name.

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

#include "editing/Gallery.h"

namespace gw {

class TPaintBox;

class TGalleryCells : public QObject {
    Q_OBJECT

  public:
    // `layout` gives the gallery's layout as it is now, `click` runs the box's click at a point,
    // `selected` tells the cell drawn as chosen; `names` are the cells' tool tips, by number.
    TGalleryCells(TPaintBox* box, std::function<GalleryLayout()> layout,
                  std::function<void(int x, int y)> click, std::function<int()> selected,
                  std::span<const std::string_view> names = {});

    // The focus cell to draw, -1 while the box does not have the focus.
    std::int32_t ShownCell() const;

    // What assistive technology reads of the cells (ui/Accessible.h): the layout as it is now,
    // the cell drawn as chosen (-1 for none), the keyboard's cell, a cell's name in the chosen
    // language (its tool tip, or its number where the cells have no names), and a pick of a cell
    // as a click on it makes.
    GalleryLayout Layout() const { return layout_(); }
    std::int32_t Selected() const { return selected_ ? selected_() : -1; }
    std::int32_t FocusCell() const { return cell_; }
    QString CellName(std::int32_t cell) const;
    void Pick(std::int32_t cell);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void MoveTo(std::int32_t cell);

    TPaintBox* box_;
    std::function<GalleryLayout()> layout_;
    std::function<void(int x, int y)> click_;
    std::function<int()> selected_;
    std::span<const std::string_view> names_;
    std::int32_t cell_ = -1;
};

}  // namespace gw
