#pragma once
// The lettering's text box and texts it cannot lay out fast. The box lays out each line as one
// paragraph, and a very long one (above all a letter carrying thousands of combining marks) costs
// it seconds to show and again at every key. Such a text is held back: the box stays empty, read
// only, with a note in its place, until the user asks for the text with a double click or Enter.
// The text itself is never touched: it is drawn and saved as it is.

#include <QString>

class QPlainTextEdit;

namespace gw {

// The longest line the box takes without asking: a line of only combining marks this long shows
// in about 40 ms and takes about 80 ms a key, ordinary text far less.
constexpr qsizetype kLongestTextBoxLine = 2000;

// The length of the text's longest line.
qsizetype LongestLine(const QString& text);

// Shows `text` in the box unless it shows or holds it already; a text with a line longer than
// kLongestTextBoxLine is held back. Never emits the box's textChanged for a held text.
void ShowInTextBox(QPlainTextEdit* box, const QString& text);
// Whether the box holds its text back.
bool HoldsTextBack(const QPlainTextEdit* box);

}  // namespace gw
