#pragma once

#include <QString>

// The user's folders by the freedesktop.org XDG Base Directory rules: the
// variable's value, else the folder under the home folder; empty when
// neither can be formed (no absolute value and no HOME).
namespace XdgFolders {

QString configHome(); // $XDG_CONFIG_HOME, else ~/.config
QString dataHome();   // $XDG_DATA_HOME, else ~/.local/share

} // namespace XdgFolders
