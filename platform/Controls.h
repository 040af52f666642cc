// The control models: the state of every control of a form and the events it
// raises. The platform gives each model a real window through ControlView and
// keeps both in step; tests use the models alone.
//
// Event semantics the program relies on:
//  - a check box, option button, text box or date-time picker raises Change
//    whenever its value changes, by the user or by code;
//  - a list view raises ItemCheck only for the user's action, never when code
//    sets a check;
//  - Click is raised by user actions (or a test acting as the user), and by
//    code only where noted (a combo box's or list box's ListIndex).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Look.h"
#include "platform/Text.h"

namespace nimbrel {

constexpr int kTwipsPerPixel = 15;
// Form layouts are written in pixels and stored in twips.
constexpr int Px(int pixels) { return pixels * kTwipsPerPixel; }

using WindowHandle = std::uintptr_t;

class Form;
class EventLoop;

enum class ControlKind {
  Label,
  CheckBox,
  OptionButton,
  TextBox,
  ComboBox,
  ListBox,
  ListView,
  ProgressBar,
  DateTimePicker,
  Image,
  PictureButton,
  Frame,
  PictureBox,
};

// What changed in a model, for its view. `index` names an item where it matters.
enum class Aspect {
  Geometry,
  Visible,
  Enabled,
  Caption,
  Value,
  Items,          // the whole item list changed
  ItemAdded,      // index
  ItemRemoved,    // index
  ItemChanged,    // index: text, sub-items, check or icon
  Selection,
  EnsureVisible,  // index
  Range,
  Look,
  ReadOnly,       // a text box locked or unlocked
};

class ControlView {
 public:
  virtual ~ControlView() = default;
  virtual void Update(Aspect aspect, int index) = 0;
};

struct MouseEvent {
  int button = 1;  // 1 left, 2 right, 4 middle
  int shift = 0;
  int x = 0, y = 0;  // twips, relative to the control
};

class Control {
 public:
  Control(Form& form, ControlKind kind, std::string name, int left, int top, int width,
          int height, Control* container = nullptr);
  virtual ~Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  ControlKind Kind() const { return kind_; }
  const std::string& Name() const { return name_; }
  Form& Owner() const { return form_; }
  Control* Container() const { return container_; }

  // Geometry in twips, relative to the form's client area.
  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void Move(int left, int top, int width, int height);
  void SetLeft(int left) { Move(left, top_, width_, height_); }

  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  // Visible and every container visible too.
  bool Shown() const;
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  // Enabled and every container enabled too: only then does it take user input.
  bool Usable() const;

  const std::string& Caption() const { return caption_; }
  virtual void SetCaption(std::string caption);

  TextStyle Style() const { return style_; }
  Align Alignment() const { return align_; }
  Colour ForeColour() const { return fore_; }
  Colour BackColour() const { return back_; }
  void SetLook(TextStyle style, Colour fore, Colour back, Align align = Align::Left);

  // Events.
  std::function<void()> Click;
  std::function<void(const MouseEvent&)> MouseDown, MouseMove, MouseUp;

  // The user acting on the control (from its window, or a test).
  void UserClick();
  void UserMouseDown(const MouseEvent& e);
  void UserMouseMove(const MouseEvent& e);
  void UserMouseUp(const MouseEvent& e);

  // The platform's side.
  void Attach(ControlView* view, WindowHandle handle);
  WindowHandle Handle() const { return handle_; }

 protected:
  void Notify(Aspect aspect, int index = -1);

 private:
  Form& form_;
  ControlKind kind_;
  std::string name_;
  Control* container_;
  int left_, top_, width_, height_;
  bool visible_ = true, enabled_ = true;
  std::string caption_;
  TextStyle style_ = TextStyle::Normal;
  Align align_ = Align::Left;
  Colour fore_ = palette::kText, back_ = palette::kWindow;
  ControlView* view_ = nullptr;
  WindowHandle handle_ = 0;
};

class Label : public Control {
 public:
  Label(Form& f, std::string name, std::string caption, int l, int t, int w, int h,
        Control* container = nullptr);
};

class CheckBox : public Control {
 public:
  CheckBox(Form& f, std::string name, std::string caption, int l, int t, int w, int h,
           Control* container = nullptr);
  int Value() const { return value_; }  // 0 unchecked, 1 checked
  void SetValue(int value);             // raises Change when it changes
  std::function<void()> Change;

 private:
  int value_ = 0;
};

// Option buttons in one container exclude each other.
class OptionButton : public Control {
 public:
  OptionButton(Form& f, std::string name, std::string caption, int l, int t, int w, int h,
               Control* container = nullptr);
  bool Value() const { return value_; }
  void SetValue(bool value);  // true clears the others; raises Change on change
  std::function<void()> Change;

 private:
  friend class Form;
  void ClearQuietly();
  bool value_ = false;
};

class TextBox : public Control {
 public:
  TextBox(Form& f, std::string name, int l, int t, int w, int h, Control* container = nullptr);
  const std::string& Text() const { return Caption(); }
  void SetText(std::string text) { SetCaption(std::move(text)); }
  void SetCaption(std::string caption) override;  // raises Change on change
  bool MultiLine = false;
  // A locked box takes no typing; code may still set its text.
  bool Locked() const { return locked_; }
  void SetLocked(bool locked);
  std::function<void()> Change;

 private:
  bool locked_ = false;
};

class ComboBox : public Control {
 public:
  ComboBox(Form& f, std::string name, int l, int t, int w, int h, Control* container = nullptr);
  void AddItem(std::string text);
  void Clear();
  int ListCount() const { return static_cast<int>(items_.size()); }
  const std::string& List(int index) const { return items_.at(static_cast<std::size_t>(index)); }
  int ListIndex() const { return index_; }
  void SetListIndex(int index);  // -1 for none; raises Click on change
  std::string Text() const;

 private:
  std::vector<std::string> items_;
  int index_ = -1;
};

class ListBox : public Control {
 public:
  ListBox(Form& f, std::string name, int l, int t, int w, int h, Control* container = nullptr);
  void AddItem(std::string text);
  // Removes every selected line in one pass, however many: a view then shows
  // the list afresh.
  void RemoveSelected();
  void Clear();
  int ListCount() const { return static_cast<int>(items_.size()); }
  const std::string& List(int index) const { return items_.at(static_cast<std::size_t>(index)).text; }
  const std::vector<std::string> Lines() const;
  int ListIndex() const { return index_; }
  void SetListIndex(int index);  // also selects that line alone; raises Click on change
  bool Selected(int index) const { return items_.at(static_cast<std::size_t>(index)).selected; }
  void SetSelected(int index, bool selected);
  bool MultiSelect = false;

 private:
  struct Item {
    std::string text;
    bool selected = false;
  };
  std::vector<Item> items_;
  int index_ = -1;
};

struct ListItem {
  std::string text;
  std::vector<std::string> subItems;  // sub-item 1 is subItems[0]
  bool checked = false;
  RowMark smallIcon = RowMark::None;
  bool selected = false;
  int group = -1;  // the group it is listed under (see ListView::AddGroup); -1: none
};

class ListView : public Control {
 public:
  ListView(Form& f, std::string name, int l, int t, int w, int h, Control* container = nullptr);

  struct Column {
    std::string header;
    int width;  // twips
  };
  void AddColumn(std::string header, int width);
  const std::vector<Column>& Columns() const { return columns_; }
  bool Checkboxes = false;

  int Count() const { return static_cast<int>(items_.size()); }
  const ListItem& Item(int index) const { return items_.at(static_cast<std::size_t>(index)); }
  int Add(std::string text, RowMark smallIcon = RowMark::None,
          int group = -1);  // returns the new index
  // A group of items under a heading, in the order the groups were added;
  // returns its number for Add. Once a list has groups, it shows its items
  // by group, so each item then belongs in one.
  int AddGroup(std::string header);
  const std::vector<std::string>& Groups() const { return groups_; }
  void Remove(int index);
  void Clear();
  void SetSubItem(int index, int sub, std::string text);  // sub >= 1
  std::string SubItem(int index, int sub) const;
  void SetChecked(int index, bool checked);  // by code: no ItemCheck
  void SetSmallIcon(int index, RowMark icon);
  void Select(int index);  // the one selected item
  int SelectedIndex() const;
  void EnsureVisible(int index);
  // The first item whose text begins with `prefix`, case-insensitively; -1 if none.
  int FindItemPrefix(std::string_view prefix) const;

  // The user ticking or unticking an item's box: sets it, raises ItemCheck.
  void UserCheck(int index, bool checked);
  // The user clicking an item: selects it, raises ItemClick.
  void UserClickItem(int index);
  std::function<void(int)> ItemCheck;
  std::function<void(int)> ItemClick;

 private:
  std::vector<Column> columns_;
  std::vector<ListItem> items_;
  std::vector<std::string> groups_;
};

class ProgressBar : public Control {
 public:
  ProgressBar(Form& f, std::string name, int l, int t, int w, int h, Control* container = nullptr);
  int Min() const { return min_; }
  int Max() const { return max_; }
  int Value() const { return value_; }
  void SetMax(int max);
  void SetValue(int value);
  // The bar's and its background's colours; the system's own until set.
  struct Colours {
    Colour bar, back;
  };
  const std::optional<Colours>& BarColours() const { return colours_; }
  void SetColours(Colour bar, Colour back);

 private:
  int min_ = 0, max_ = 100, value_ = 0;
  std::optional<Colours> colours_;
};

class DateTimePicker : public Control {
 public:
  DateTimePicker(Form& f, std::string name, int l, int t, int w, int h,
                 Control* container = nullptr);
  // Empty when the on/off box is off.
  const std::optional<DateTime>& Value() const { return value_; }
  void SetValue(std::optional<DateTime> value);  // raises Change on change
  std::string CustomFormat;  // e.g. "hh:mm:ss"
  bool ShowCheckBox = false;
  std::function<void()> Change;

 private:
  std::optional<DateTime> value_;
};

// A picture drawn by the skin; a "MouseMove" image has the highlighted look.
class Image : public Control {
 public:
  Image(Form& f, std::string name, Picture picture, bool highlighted, int l, int t, int w, int h,
        Control* container = nullptr);
  Picture Shows() const { return picture_; }
  bool Highlighted() const { return highlighted_; }

 private:
  Picture picture_;
  bool highlighted_;
};

// A push button drawn by the skin with its caption, lit while the pointer is over it.
class PictureButton : public Control {
 public:
  PictureButton(Form& f, std::string name, std::string caption, int l, int t, int w, int h,
                Control* container = nullptr);
};

class Frame : public Control {
 public:
  Frame(Form& f, std::string name, std::string caption, int l, int t, int w, int h,
        Control* container = nullptr);
};

class PictureBox : public Control {
 public:
  PictureBox(Form& f, std::string name, int l, int t, int w, int h, Control* container = nullptr);
  // What the skin paints under the children; None is the back colour alone.
  Picture Backdrop = Picture::None;
};

// A menu entry; a caption of "-" is a separator. Entries with children are submenus.
class MenuItem {
 public:
  MenuItem(Form& form, std::string name, std::string caption, MenuItem* parent = nullptr);
  MenuItem(const MenuItem&) = delete;
  MenuItem& operator=(const MenuItem&) = delete;
  const std::string& Name() const { return name_; }
  const std::string& Caption() const { return caption_; }
  bool Separator() const { return caption_ == "-"; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  const std::vector<MenuItem*>& Children() const { return children_; }
  MenuItem* Parent() const { return parent_; }
  std::function<void()> Click;
  void UserClick();
  void Attach(ControlView* view) { view_ = view; }

 private:
  std::string name_, caption_;
  MenuItem* parent_;
  std::vector<MenuItem*> children_;
  bool enabled_ = true;
  ControlView* view_ = nullptr;
};

// A window timer of a form; ticks while enabled and the form has its window.
class Timer {
 public:
  Timer(Form& form, std::string name, int interval, bool enabled = true);
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;
  const std::string& Name() const { return name_; }
  int Interval() const { return interval_; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  std::function<void()> Tick;
  void Fire() {
    if (enabled_ && Tick) Tick();
  }
  void Attach(ControlView* view) { view_ = view; }

 private:
  std::string name_;
  int interval_;
  bool enabled_;
  ControlView* view_ = nullptr;
};

enum class WindowState { Normal, Minimized };

// The message a notify icon owned by a form's window sends to that window.
// The form raises MouseMove for it, with x the icon's mouse message in twips:
// x / 15 is the message number (0x202 left button up, 0x205 right button up).
constexpr std::uint32_t kNotifyIconMessage = 0x8001;  // WM_APP + 1

// A top-level window: its controls, menus and timers, and how it is shown.
class Form {
 public:
  Form(EventLoop& loop, std::string name, int width, int height);
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const std::string& Name() const { return name_; }
  EventLoop& Loop() const { return loop_; }

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);
  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void Move(int left, int top, int width, int height);
  void MoveTo(int left, int top) { Move(left, top, width_, height_); }
  void Resize(int width, int height) { Move(left_, top_, width, height); }
  bool Centered = true;  // placed in the middle of the screen when first shown

  WindowState State() const { return state_; }
  void SetWindowState(WindowState state);  // raises Resized
  std::function<void()> Resized;

  // The pointer moving over the form's own area, between its controls; and
  // the messages of its notify icon (kNotifyIconMessage).
  std::function<void(const MouseEvent&)> MouseMove;
  void UserMouseMove(const MouseEvent& e);
  // The shell's taskbar was created anew (after the shell restarted): every
  // notify icon shown before is gone.
  std::function<void()> TaskbarCreated;

  // Files and folders dropped on the form from Explorer, by their full paths;
  // a form accepts drops only when this is set before it is first shown.
  std::function<void(const std::vector<std::string>&)> FilesDropped;
  void UserDropFiles(const std::vector<std::string>& paths) {
    if (FilesDropped) FilesDropped(paths);
  }

  // Another start of the program asks this form to come forward
  // (Desktop::CallInstance); the platform then gives it the foreground.
  std::function<void()> ComeForward;
  void UserComeForward() {
    if (ComeForward) ComeForward();
  }

  // Runs the load step once, before the form is first shown or used.
  void Load();
  bool Loaded() const { return loaded_; }
  void Show();       // modeless
  void ShowModal();  // returns when the form is closed
  void Hide();
  void Close();  // unloads: the window goes, a modal loop ends
  // The user closing the window from outside (Alt+F4, the task list).
  virtual void UserClose() { Close(); }
  bool Visible() const { return visible_; }

  const std::vector<Control*>& Controls() const { return controls_; }
  const std::vector<MenuItem*>& Menus() const { return menus_; }  // top-level entries
  const std::vector<Timer*>& Timers() const { return timers_; }
  Control* Find(std::string_view name) const;

  // The platform's side.
  void Attach(ControlView* view, WindowHandle handle);
  WindowHandle Handle() const { return handle_; }
  void SetVisibleState(bool visible) { visible_ = visible; }
  void SetStateFromWindow(WindowState state);  // the user minimised or restored it

 protected:
  virtual void OnLoad() {}

 private:
  friend class Control;
  friend class MenuItem;
  friend class Timer;
  friend class OptionButton;
  void Notify(Aspect aspect);

  EventLoop& loop_;
  std::string name_, caption_;
  int left_ = 0, top_ = 0, width_, height_;
  WindowState state_ = WindowState::Normal;
  bool loaded_ = false, visible_ = false;
  std::vector<Control*> controls_;
  std::vector<MenuItem*> menus_;
  std::vector<Timer*> timers_;
  ControlView* view_ = nullptr;
  WindowHandle handle_ = 0;
};

}  // namespace nimbrel
