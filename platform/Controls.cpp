#include "platform/Controls.h"

#include <algorithm>

#include "platform/EventLoop.h"

namespace nimbrel {

// ---- Control ---------------------------------------------------------------

Control::Control(Form& form, ControlKind kind, std::string name, int left, int top, int width,
                 int height, Control* container)
    : form_(form),
      kind_(kind),
      name_(std::move(name)),
      container_(container),
      left_(left),
      top_(top),
      width_(width),
      height_(height) {
  form_.controls_.push_back(this);
}

void Control::Move(int left, int top, int width, int height) {
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  Notify(Aspect::Geometry);
}

void Control::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  Notify(Aspect::Visible);
  // What a container shows follows it.
  for (Control* c : form_.controls_) {
    for (Control* p = c->container_; p; p = p->container_)
      if (p == this) {
        c->Notify(Aspect::Visible);
        break;
      }
  }
}

bool Control::Shown() const {
  for (const Control* c = this; c; c = c->container_)
    if (!c->visible_) return false;
  return true;
}

void Control::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Notify(Aspect::Enabled);
  // What a container holds is enabled with it.
  for (Control* c : form_.controls_)
    for (Control* p = c->container_; p; p = p->container_)
      if (p == this) {
        c->Notify(Aspect::Enabled);
        break;
      }
}

void Control::SetCaption(std::string caption) {
  if (caption == caption_) return;
  caption_ = std::move(caption);
  Notify(Aspect::Caption);
}

void Control::SetLook(TextStyle style, Colour fore, Colour back, Align align) {
  style_ = style;
  fore_ = fore;
  back_ = back;
  align_ = align;
  Notify(Aspect::Look);
}

bool Control::Usable() const {
  for (const Control* c = this; c; c = c->container_)
    if (!c->enabled_) return false;
  return true;
}

void Control::UserClick() {
  if (Usable() && Click) Click();
}
void Control::UserMouseDown(const MouseEvent& e) {
  if (Usable() && MouseDown) MouseDown(e);
}
void Control::UserMouseMove(const MouseEvent& e) {
  if (Usable() && MouseMove) MouseMove(e);
}
void Control::UserMouseUp(const MouseEvent& e) {
  if (Usable() && MouseUp) MouseUp(e);
}

void Control::Attach(ControlView* view, WindowHandle handle) {
  view_ = view;
  handle_ = handle;
}

void Control::Notify(Aspect aspect, int index) {
  if (view_) view_->Update(aspect, index);
}

// ---- Simple controls -------------------------------------------------------

Label::Label(Form& f, std::string name, std::string caption, int l, int t, int w, int h,
             Control* container)
    : Control(f, ControlKind::Label, std::move(name), l, t, w, h, container) {
  Control::SetCaption(std::move(caption));
}

CheckBox::CheckBox(Form& f, std::string name, std::string caption, int l, int t, int w, int h,
                   Control* container)
    : Control(f, ControlKind::CheckBox, std::move(name), l, t, w, h, container) {
  SetCaption(std::move(caption));
}

void CheckBox::SetValue(int value) {
  value = value ? 1 : 0;
  if (value == value_) return;
  value_ = value;
  Notify(Aspect::Value);
  if (Change) Change();
}

OptionButton::OptionButton(Form& f, std::string name, std::string caption, int l, int t, int w,
                           int h, Control* container)
    : Control(f, ControlKind::OptionButton, std::move(name), l, t, w, h, container) {
  SetCaption(std::move(caption));
}

void OptionButton::ClearQuietly() {
  if (!value_) return;
  value_ = false;
  Notify(Aspect::Value);
}

void OptionButton::SetValue(bool value) {
  if (value == value_) return;
  if (value) {
    for (Control* c : Owner().Controls())
      if (c != this && c->Kind() == ControlKind::OptionButton && c->Container() == Container())
        static_cast<OptionButton*>(c)->ClearQuietly();
  }
  value_ = value;
  Notify(Aspect::Value);
  if (Change) Change();
}

TextBox::TextBox(Form& f, std::string name, int l, int t, int w, int h, Control* container)
    : Control(f, ControlKind::TextBox, std::move(name), l, t, w, h, container) {
  SetLook(TextStyle::Normal, palette::kText, palette::kPanel);
}

void TextBox::SetCaption(std::string caption) {
  const std::string before = Caption();
  Control::SetCaption(std::move(caption));
  if (Caption() != before && Change) Change();
}

void TextBox::SetLocked(bool locked) {
  if (locked == locked_) return;
  locked_ = locked;
  Notify(Aspect::ReadOnly);
}

ComboBox::ComboBox(Form& f, std::string name, int l, int t, int w, int h, Control* container)
    : Control(f, ControlKind::ComboBox, std::move(name), l, t, w, h, container) {}

void ComboBox::AddItem(std::string text) {
  items_.push_back(std::move(text));
  Notify(Aspect::ItemAdded, ListCount() - 1);
}

void ComboBox::Clear() {
  items_.clear();
  index_ = -1;
  Notify(Aspect::Items);
}

void ComboBox::SetListIndex(int index) {
  if (index < -1 || index >= ListCount()) index = -1;
  if (index == index_) return;
  index_ = index;
  Notify(Aspect::Selection);
  if (Click) Click();
}

std::string ComboBox::Text() const { return index_ >= 0 ? List(index_) : std::string(); }

ListBox::ListBox(Form& f, std::string name, int l, int t, int w, int h, Control* container)
    : Control(f, ControlKind::ListBox, std::move(name), l, t, w, h, container) {
  SetLook(TextStyle::Normal, palette::kText, palette::kPanel);
}

void ListBox::AddItem(std::string text) {
  items_.push_back({std::move(text), false});
  Notify(Aspect::ItemAdded, ListCount() - 1);
}

void ListBox::RemoveSelected() {
  const auto selected = [](const Item& item) { return item.selected; };
  if (index_ >= 0) {
    const auto at = items_.begin() + index_;
    index_ = at->selected
                 ? -1
                 : index_ - static_cast<int>(std::count_if(items_.begin(), at, selected));
  }
  if (std::erase_if(items_, selected) > 0) Notify(Aspect::Items);
}

void ListBox::Clear() {
  items_.clear();
  index_ = -1;
  Notify(Aspect::Items);
}

const std::vector<std::string> ListBox::Lines() const {
  std::vector<std::string> out;
  out.reserve(items_.size());
  for (const Item& i : items_) out.push_back(i.text);
  return out;
}

void ListBox::SetListIndex(int index) {
  if (index < -1 || index >= ListCount()) index = -1;
  for (Item& i : items_) i.selected = false;
  if (index >= 0) items_[static_cast<std::size_t>(index)].selected = true;
  const bool changed = index != index_;
  index_ = index;
  Notify(Aspect::Selection, index);
  if (changed && Click) Click();
}

void ListBox::SetSelected(int index, bool selected) {
  if (index < 0 || index >= ListCount()) return;
  items_[static_cast<std::size_t>(index)].selected = selected;
  Notify(Aspect::Selection, index);
}

// ---- List view -------------------------------------------------------------

ListView::ListView(Form& f, std::string name, int l, int t, int w, int h, Control* container)
    : Control(f, ControlKind::ListView, std::move(name), l, t, w, h, container) {
  SetLook(TextStyle::Normal, palette::kText, palette::kPanel);
}

void ListView::AddColumn(std::string header, int width) {
  columns_.push_back({std::move(header), width});
  Notify(Aspect::Items);
}

int ListView::Add(std::string text, RowMark smallIcon, int group) {
  ListItem item;
  item.text = std::move(text);
  item.smallIcon = smallIcon;
  item.group = group >= 0 && group < static_cast<int>(groups_.size()) ? group : -1;
  items_.push_back(std::move(item));
  Notify(Aspect::ItemAdded, Count() - 1);
  return Count() - 1;
}

int ListView::AddGroup(std::string header) {
  groups_.push_back(std::move(header));
  Notify(Aspect::Items);
  return static_cast<int>(groups_.size()) - 1;
}

void ListView::Remove(int index) {
  if (index < 0 || index >= Count()) return;
  items_.erase(items_.begin() + index);
  Notify(Aspect::ItemRemoved, index);
}

void ListView::Clear() {
  items_.clear();
  groups_.clear();
  Notify(Aspect::Items);
}

void ListView::SetSubItem(int index, int sub, std::string text) {
  if (index < 0 || index >= Count() || sub < 1) return;
  auto& subs = items_[static_cast<std::size_t>(index)].subItems;
  if (subs.size() < static_cast<std::size_t>(sub)) subs.resize(static_cast<std::size_t>(sub));
  subs[static_cast<std::size_t>(sub - 1)] = std::move(text);
  Notify(Aspect::ItemChanged, index);
}

std::string ListView::SubItem(int index, int sub) const {
  const auto& subs = Item(index).subItems;
  return sub >= 1 && static_cast<std::size_t>(sub) <= subs.size()
             ? subs[static_cast<std::size_t>(sub - 1)]
             : std::string();
}

void ListView::SetChecked(int index, bool checked) {
  if (index < 0 || index >= Count()) return;
  ListItem& item = items_[static_cast<std::size_t>(index)];
  if (item.checked == checked) return;
  item.checked = checked;
  Notify(Aspect::ItemChanged, index);
}

void ListView::SetSmallIcon(int index, RowMark icon) {
  if (index < 0 || index >= Count()) return;
  items_[static_cast<std::size_t>(index)].smallIcon = icon;
  Notify(Aspect::ItemChanged, index);
}

void ListView::Select(int index) {
  for (int i = 0; i < Count(); ++i) items_[static_cast<std::size_t>(i)].selected = (i == index);
  Notify(Aspect::Selection, index);
}

int ListView::SelectedIndex() const {
  for (int i = 0; i < Count(); ++i)
    if (items_[static_cast<std::size_t>(i)].selected) return i;
  return -1;
}

void ListView::EnsureVisible(int index) {
  if (index >= 0 && index < Count()) Notify(Aspect::EnsureVisible, index);
}

int ListView::FindItemPrefix(std::string_view prefix) const {
  for (int i = 0; i < Count(); ++i)
    if (StartsWithNoCase(items_[static_cast<std::size_t>(i)].text, prefix)) return i;
  return -1;
}

void ListView::UserCheck(int index, bool checked) {
  if (!Usable() || index < 0 || index >= Count()) return;
  SetChecked(index, checked);
  if (ItemCheck) ItemCheck(index);
}

void ListView::UserClickItem(int index) {
  if (!Usable() || index < 0 || index >= Count()) return;
  Select(index);
  if (ItemClick) ItemClick(index);
}

// ---- Progress bar, date-time picker, pictures, containers -------------------

ProgressBar::ProgressBar(Form& f, std::string name, int l, int t, int w, int h, Control* container)
    : Control(f, ControlKind::ProgressBar, std::move(name), l, t, w, h, container) {}

void ProgressBar::SetMax(int max) {
  if (max <= min_) return;  // as the control itself, a range needs Max above Min
  max_ = max;
  value_ = std::clamp(value_, min_, max_);
  Notify(Aspect::Range);
}

void ProgressBar::SetColours(Colour bar, Colour back) {
  colours_ = Colours{bar, back};
  Notify(Aspect::Look);
}

void ProgressBar::SetValue(int value) {
  value = std::clamp(value, min_, max_);
  if (value == value_) return;
  value_ = value;
  Notify(Aspect::Value);
}

DateTimePicker::DateTimePicker(Form& f, std::string name, int l, int t, int w, int h,
                               Control* container)
    : Control(f, ControlKind::DateTimePicker, std::move(name), l, t, w, h, container) {}

void DateTimePicker::SetValue(std::optional<DateTime> value) {
  if (value == value_) return;
  value_ = std::move(value);
  Notify(Aspect::Value);
  if (Change) Change();
}

Image::Image(Form& f, std::string name, Picture picture, bool highlighted, int l, int t, int w,
             int h, Control* container)
    : Control(f, ControlKind::Image, std::move(name), l, t, w, h, container),
      picture_(picture),
      highlighted_(highlighted) {}

PictureButton::PictureButton(Form& f, std::string name, std::string caption, int l, int t, int w,
                             int h, Control* container)
    : Control(f, ControlKind::PictureButton, std::move(name), l, t, w, h, container) {
  SetCaption(std::move(caption));
}

Frame::Frame(Form& f, std::string name, std::string caption, int l, int t, int w, int h,
             Control* container)
    : Control(f, ControlKind::Frame, std::move(name), l, t, w, h, container) {
  SetCaption(std::move(caption));
}

PictureBox::PictureBox(Form& f, std::string name, int l, int t, int w, int h, Control* container)
    : Control(f, ControlKind::PictureBox, std::move(name), l, t, w, h, container) {}

// ---- Menus and timers ------------------------------------------------------

MenuItem::MenuItem(Form& form, std::string name, std::string caption, MenuItem* parent)
    : name_(std::move(name)), caption_(std::move(caption)), parent_(parent) {
  if (parent_) parent_->children_.push_back(this);
  else form.menus_.push_back(this);
}

void MenuItem::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  if (view_) view_->Update(Aspect::Enabled, -1);
}

void MenuItem::UserClick() {
  if (enabled_ && Click) Click();
}

Timer::Timer(Form& form, std::string name, int interval, bool enabled)
    : name_(std::move(name)), interval_(interval), enabled_(enabled) {
  form.timers_.push_back(this);
}

void Timer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  if (view_) view_->Update(Aspect::Enabled, -1);
}

// ---- Form ------------------------------------------------------------------

Form::Form(EventLoop& loop, std::string name, int width, int height)
    : loop_(loop), name_(std::move(name)), width_(width), height_(height) {}

Form::~Form() { loop_.Forget(*this); }

void Form::SetCaption(std::string caption) {
  if (caption == caption_) return;
  caption_ = std::move(caption);
  Notify(Aspect::Caption);
}

void Form::Move(int left, int top, int width, int height) {
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  Centered = false;
  Notify(Aspect::Geometry);
}

void Form::SetWindowState(WindowState state) {
  if (state == state_) return;
  state_ = state;
  Notify(Aspect::Value);
  if (Resized) Resized();
}

void Form::SetStateFromWindow(WindowState state) {
  state_ = state;
  if (Resized) Resized();
}

void Form::UserMouseMove(const MouseEvent& e) {
  if (MouseMove) MouseMove(e);
}

void Form::Load() {
  if (loaded_) return;
  loaded_ = true;
  OnLoad();
}

void Form::Show() {
  Load();
  visible_ = true;
  loop_.Show(*this);
}

void Form::ShowModal() {
  Load();
  visible_ = true;
  loop_.ShowModal(*this);
  visible_ = false;
}

void Form::Hide() {
  visible_ = false;
  loop_.Hide(*this);
}

void Form::Close() {
  visible_ = false;
  loaded_ = false;
  loop_.Close(*this);
}

Control* Form::Find(std::string_view name) const {
  for (Control* c : controls_)
    if (c->Name() == name) return c;
  return nullptr;
}

void Form::Attach(ControlView* view, WindowHandle handle) {
  view_ = view;
  handle_ = handle;
}

void Form::Notify(Aspect aspect) {
  if (view_) view_->Update(aspect, -1);
}

}  // namespace nimbrel
