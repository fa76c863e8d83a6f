#pragma once
// The names under which the program's windows are registered and found
// (platform::forms()); also their object names. The one place they are
// spelled.

#include <QString>

namespace velmaro::FormNames {

// the main window
inline QString Velmaro()
{
    return QStringLiteral("Velmaro");
}
// the progress window
inline QString BitteWarten()
{
    return QStringLiteral("BitteWarten");
}
// the file view
inline QString frm_DelFile()
{
    return QStringLiteral("frm_DelFile");
}
// the About window
inline QString Copyright()
{
    return QStringLiteral("Copyright");
}

// the map of a folder ("Übersicht")
inline QString frm_Übersicht()
{
    return QStringLiteral("frm_Übersicht");
}

}  // namespace velmaro::FormNames
