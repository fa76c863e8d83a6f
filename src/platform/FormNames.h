#pragma once
// The names under which the program's windows are registered and found
// (platform::forms()); also their object names. The one place they are
// spelled.

#include <QString>

namespace velmaro::FormNames {

inline QString Velmaro()
{
    return QStringLiteral("Velmaro");
}  // the main window
inline QString BitteWarten()
{
    return QStringLiteral("BitteWarten");
}  // the progress window
inline QString frm_DelFile()
{
    return QStringLiteral("frm_DelFile");
}  // the file view
inline QString Copyright()
{
    return QStringLiteral("Copyright");
}  // the About window

}  // namespace velmaro::FormNames
