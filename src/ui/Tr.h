#pragma once
// The message catalogue for the widgets: the German text in the code, the chosen language's on
// the screen (platform/Catalogue.h says how texts are written).

#include <QString>

#include "platform/Catalogue.h"

namespace gw {

inline QString QTr(const char* german) {
    return QString::fromUtf8(catalogue::Tr(german));
}
inline QString QTrN(const char* germanSingular, const char* germanPlural, unsigned long count) {
    return QString::fromUtf8(catalogue::TrN(germanSingular, germanPlural, count));
}

}  // namespace gw
