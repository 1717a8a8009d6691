// Pictures of the main window drawn in code: tool-bar icons and the gene-network picture
// of the welcome panel and the about box.
#pragma once
#include <QIcon>
#include <QPixmap>
#include <QString>

namespace velta {

// Icon of a tool-bar button by its key ("Table", "Open", ..., "Stop"; "Sections" for the
// section drop-down).
QIcon toolIcon(const QString& key);

// A small network of gene elements joined by activating and repressing links.
QPixmap networkPicture(int width, int height);

}  // namespace velta
