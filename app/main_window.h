#pragma once

#include <QWidget>
#include <string_view>

#include "common/text.h"

namespace brenvik {

// The main window (窗口): fixed size, no minimise or maximise box, its nine
// controls built from kMainWindowControls, each named as the form names it.
// It is created hidden; 按钮2 runs OnGenerateClicked and 按钮1 OnOpenClicked.
class MainWindow : public QWidget {
    Q_OBJECT

public:
    MainWindow();

    // The control named `name` (UTF-8, e.g. "编辑框3"), or nullptr.
    QWidget* Control(std::string_view name) const;

    // The whole text of the edit box `name` as a new Text, empty when the box
    // is empty or there is no such edit box.
    Text ReadText(std::string_view name) const;
    // Replaces the whole content of the edit box `name`; an empty text empties it.
    void WriteText(std::string_view name, const Text& text);

    // Shows the window with its outer top-left corner at
    // ((screen width - 422) / 2, (screen height - 175) / 2) of the primary screen.
    void ShowCentred();
};

}  // namespace brenvik
