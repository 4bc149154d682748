#include "Functions.h"

#include <QHash>

namespace {

struct Entry {
  const char16_t* text;
  TMsgStyle style;
};

QString ForbiddenNameCharsText() {
  // The characters in the order the message lists them, two blanks apart.
  return QStringLiteral("屏保名称不能包含下列任何字符之一： /  \\  |  *  :  ?  \"  <  >");
}

const QHash<int, Entry>& Catalogue() {
  static const QHash<int, Entry> table = {
      {2, {u"预览模块文件已丢失，无法启用预览功能，建议重新安装软件。", TMsgStyle::Error}},
      {11, {u"预览模块文件已损坏，无法启用预览功能，建议重新安装软件。", TMsgStyle::Error}},
      {301, {u"文件不存在！", TMsgStyle::Warning}},
      {302, {u"文件打开错误！", TMsgStyle::Warning}},
      {303, {u"无法调用浏览器！", TMsgStyle::Warning}},
      {304, {u"字体样式名称以存在，请重新取名。", TMsgStyle::Warning}},
      {305, {u"名称不能为空，请重新取名。", TMsgStyle::Warning}},
      {306, {u"请输入屏保名称。", TMsgStyle::Warning}},
      {307, {nullptr, TMsgStyle::Warning}},
      {308, {u"列表内没有Flash文件，请添加文件。", TMsgStyle::Warning}},
      {309, {u"输出文件夹不存在！", TMsgStyle::Warning}},
      {310, {u"屏保文件生成失败！", TMsgStyle::Error}},
      {311, {u"当前可执行文件中不包含有效的Flash文件！无法提取。", TMsgStyle::Warning}},
      {312, {u"请选择文件。", TMsgStyle::Warning}},
      {313, {u"请至少保留一个字体样式。", TMsgStyle::Warning}},
      {314, {u"屏保名称过长，请不要超过255个字节。", TMsgStyle::Warning}},
      {315, {u"屏保名称中含有无法保存的字符，请修改。", TMsgStyle::Warning}},
      {316, {u"输出文件不能与源文件相同。", TMsgStyle::Warning}},
      {350, {u"屏保文件已经存在，是否覆盖此屏保文件？", TMsgStyle::Question}},
      {400, {u"屏保文件生成完毕！", TMsgStyle::Information}},
      {401, {u"Flash文件提取完毕！", TMsgStyle::Information}},
  };
  return table;
}

}  // namespace

QString MessageCaption() { return QStringLiteral("提示"); }

QString MessageText(int code) {
  if (code == 307) return ForbiddenNameCharsText();
  auto it = Catalogue().constFind(code);
  if (it == Catalogue().constEnd() || !it->text) return QString();
  return QString::fromUtf16(it->text);
}

TMsgStyle MessageStyle(int code) {
  auto it = Catalogue().constFind(code);
  return it == Catalogue().constEnd() ? TMsgStyle::Warning : it->style;
}
