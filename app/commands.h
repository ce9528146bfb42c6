#pragma once

namespace brenvik {

class MainWindow;

// 按钮2 (生成): posts 编辑框1 and 编辑框2 to the service, writes the reply's
// "tinyurl" into 编辑框3 and then shows its "message". Nothing is checked on
// the way: any failure ends as an emptied 编辑框3 and an empty message box.
// Everything it makes, its JsonObject included, is released before it returns.
void OnGenerateClicked(MainWindow& window);

// 按钮1 (打开): hands the text of 编辑框3, unchanged and unexamined, to the
// shell's open operation. Shows nothing, whatever the shell does.
void OnOpenClicked(MainWindow& window);

}  // namespace brenvik
