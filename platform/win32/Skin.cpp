// The program's look, drawn with GDI alone (declared in Win32Ui.h): fonts,
// the title strip and its buttons, the command tiles, the emblem, the list
// icons, buttons, frames and backdrops. Shapes are drawn four times larger
// and averaged down, so curves and diagonals come out smooth.
#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

#include "platform/win32/Win32Ui.h"

namespace nimbrel {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kTitleStrip = 32;  // the title strip's height, in pixels

int R(Colour c) { return static_cast<int>(c & 0xFF); }
int G(Colour c) { return static_cast<int>((c >> 8) & 0xFF); }
int B(Colour c) { return static_cast<int>((c >> 16) & 0xFF); }

// `c` moved towards `to` by `amount` (0 to 1).
Colour Mix(Colour c, Colour to, double amount) {
  auto m = [amount](int a, int b) { return static_cast<int>(std::lround(a + (b - a) * amount)); };
  return Rgb(m(R(c), R(to)), m(G(c), G(to)), m(B(c), B(to)));
}

constexpr Colour kWhite = Rgb(255, 255, 255);
constexpr Colour kBlack = Rgb(0, 0, 0);
const Colour kTitleTop = Mix(palette::kTitle, palette::kSidebar, 0.85);
const Colour kTile = Mix(palette::kSidebar, kWhite, 0.07);
const Colour kAccentHot = Mix(palette::kAccent, kWhite, 0.16);
const Colour kAccentDown = Mix(palette::kAccent, kBlack, 0.18);
const Colour kAccentDark = Mix(palette::kAccent, kBlack, 0.22);
constexpr Colour kCloseHot = Rgb(208, 62, 50);
constexpr Colour kFolder = Rgb(230, 168, 58);
constexpr Colour kDone = Rgb(52, 163, 96);

// The title strip's colour at a row of the form: a soft vertical gradient
// ending in palette::kTitle, which everything below it uses.
Colour TitleColourAt(int formY) {
  if (formY >= kTitleStrip) return palette::kTitle;
  return Mix(kTitleTop, palette::kTitle, std::max(formY, 0) / double(kTitleStrip - 1));
}

// Fills with `colour`; the title colour follows the strip's gradient, so
// labels and glyphs on it blend in. `formY` is the rectangle's top in the form.
void FillBack(HDC dc, const RECT& rc, Colour colour, int formY) {
  if (colour != palette::kTitle) {
    FillRect(dc, &rc, SkinBrush(colour));
    return;
  }
  for (int y = rc.top; y < rc.bottom; ++y) {
    const RECT row{rc.left, y, rc.right, y + 1};
    FillRect(dc, &row, SkinBrush(TitleColourAt(formY + y - rc.top)));
  }
}

int FormTop(const Control& c) { return c.Top() / kTwipsPerPixel; }

struct Pt {
  double x, y;
};

// A drawing surface `kScale` times the size of its target rectangle, in
// target pixels; Finish averages it down onto the target.
class Canvas {
 public:
  static constexpr int kScale = 4;

  Canvas(HDC target, const RECT& rc) : target_(target), rc_(rc) {
    w_ = std::max<int>(rc.right - rc.left, 1);
    h_ = std::max<int>(rc.bottom - rc.top, 1);
    dc_ = CreateCompatibleDC(target);
    big_ = Dib(w_ * kScale, h_ * kScale, &bits_);
    old_ = SelectObject(dc_, big_);
  }
  ~Canvas() {
    SelectObject(dc_, old_);
    DeleteObject(big_);
    DeleteDC(dc_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  int Width() const { return w_; }
  int Height() const { return h_; }

  void Fill(Colour c) { Rect(0, 0, w_, h_, c); }
  // The rows' colours of the title strip, for a canvas whose top is at `formY`.
  void FillTitle(int formY) {
    for (int y = 0; y < h_; ++y) Rect(0, y, w_, 1, TitleColourAt(formY + y));
  }
  void Rect(double x, double y, double w, double h, Colour c) {
    const RECT r{S(x), S(y), S(x + w), S(y + h)};
    FillRect(dc_, &r, SkinBrush(c));
  }
  void RoundRect(double x, double y, double w, double h, double radius, Colour c) {
    Select select(dc_, CreateSolidBrush(c), GetStockObject(NULL_PEN));
    ::RoundRect(dc_, S(x), S(y), S(x + w) + 1, S(y + h) + 1, S(2 * radius), S(2 * radius));
  }
  void Disc(double cx, double cy, double r, Colour c) {
    Select select(dc_, CreateSolidBrush(c), GetStockObject(NULL_PEN));
    Ellipse(dc_, S(cx - r), S(cy - r), S(cx + r) + 1, S(cy + r) + 1);
  }
  void Ring(double cx, double cy, double r, double width, Colour c) {
    Select select(dc_, GetStockObject(NULL_BRUSH), Pen(width, c));
    Ellipse(dc_, S(cx - r), S(cy - r), S(cx + r), S(cy + r));
  }
  void Line(Pt a, Pt b, double width, Colour c) { Polyline({a, b}, width, c); }
  void Polyline(const std::vector<Pt>& points, double width, Colour c) {
    Select select(dc_, GetStockObject(NULL_BRUSH), Pen(width, c));
    const std::vector<POINT> p = Points(points);
    ::Polyline(dc_, p.data(), static_cast<int>(p.size()));
  }
  void Polygon(const std::vector<Pt>& points, Colour c) {
    Select select(dc_, CreateSolidBrush(c), GetStockObject(NULL_PEN));
    const std::vector<POINT> p = Points(points);
    ::Polygon(dc_, p.data(), static_cast<int>(p.size()));
  }
  // An arc around (cx, cy) from angle `from` to `to` (degrees, counter-clockwise, 0 = east).
  void Arc(double cx, double cy, double r, double from, double to, double width, Colour c) {
    Select select(dc_, GetStockObject(NULL_BRUSH), Pen(width, c));
    auto at = [&](double a) {
      return POINT{S(cx + r * std::cos(a * kPi / 180)), S(cy - r * std::sin(a * kPi / 180))};
    };
    const POINT p = at(from), q = at(to);
    SetArcDirection(dc_, AD_COUNTERCLOCKWISE);
    ::Arc(dc_, S(cx - r), S(cy - r), S(cx + r), S(cy + r), p.x, p.y, q.x, q.y);
  }
  // A closed outline of straight pieces and cubic curves, filled: each piece
  // is one point (a line to it) or three (a curve through two controls to it).
  void Path(Pt start, const std::vector<std::vector<Pt>>& pieces, Colour c) {
    Select select(dc_, CreateSolidBrush(c), GetStockObject(NULL_PEN));
    BeginPath(dc_);
    MoveToEx(dc_, S(start.x), S(start.y), nullptr);
    for (const auto& piece : pieces) {
      const std::vector<POINT> p = Points(piece);
      if (p.size() == 3)
        PolyBezierTo(dc_, p.data(), 3);
      else
        LineTo(dc_, p[0].x, p[0].y);
    }
    CloseFigure(dc_);
    EndPath(dc_);
    FillPath(dc_);
  }
  void Text(const char* text, double size, bool bold, Colour c) {
    HFONT font = CreateFontA(-S(size), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                             DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             ANTIALIASED_QUALITY, DEFAULT_PITCH, "Tahoma");
    HGDIOBJ old = SelectObject(dc_, font);
    SetBkMode(dc_, TRANSPARENT);
    SetTextColor(dc_, c);
    RECT r{0, 0, w_ * kScale, h_ * kScale};
    DrawTextA(dc_, text, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc_, old);
    DeleteObject(font);
  }

  // The averaged pixels, top-down, 0x00RRGGBB.
  std::vector<std::uint32_t> Resolve() const {
    GdiFlush();
    std::vector<std::uint32_t> out(static_cast<std::size_t>(w_) * h_);
    const int stride = w_ * kScale;
    for (int y = 0; y < h_; ++y)
      for (int x = 0; x < w_; ++x) {
        unsigned r = 0, g = 0, b = 0;
        for (int dy = 0; dy < kScale; ++dy)
          for (int dx = 0; dx < kScale; ++dx) {
            const std::uint32_t p = bits_[(y * kScale + dy) * stride + x * kScale + dx];
            r += (p >> 16) & 0xFF;
            g += (p >> 8) & 0xFF;
            b += p & 0xFF;
          }
        constexpr unsigned n = kScale * kScale;
        out[static_cast<std::size_t>(y) * w_ + x] = ((r / n) << 16) | ((g / n) << 8) | (b / n);
      }
    return out;
  }
  // Draws the result onto the target.
  void Finish() {
    const std::vector<std::uint32_t> pixels = Resolve();
    BITMAPINFO bi = Info(w_, h_);
    SetDIBitsToDevice(target_, rc_.left, rc_.top, static_cast<DWORD>(w_), static_cast<DWORD>(h_), 0,
                      0, 0, static_cast<UINT>(h_), pixels.data(), &bi, DIB_RGB_COLORS);
  }

  static BITMAPINFO Info(int w, int h) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;  // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    return bi;
  }
  static HBITMAP Dib(int w, int h, std::uint32_t** bits) {
    BITMAPINFO bi = Info(w, h);
    void* p = nullptr;
    HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
    *bits = static_cast<std::uint32_t*>(p);
    return bmp;
  }

 private:
  // Selects a brush and a pen for one shape, then puts the old ones back and
  // deletes what was created (stock objects ignore DeleteObject).
  class Select {
   public:
    Select(HDC dc, HGDIOBJ brush, HGDIOBJ pen) : dc_(dc), brush_(brush), pen_(pen) {
      oldBrush_ = SelectObject(dc, brush);
      oldPen_ = SelectObject(dc, pen);
    }
    ~Select() {
      SelectObject(dc_, oldBrush_);
      SelectObject(dc_, oldPen_);
      DeleteObject(brush_);
      DeleteObject(pen_);
    }
    Select(const Select&) = delete;
    Select& operator=(const Select&) = delete;

   private:
    HDC dc_;
    HGDIOBJ brush_, pen_, oldBrush_, oldPen_;
  };

  static int S(double v) { return static_cast<int>(std::lround(v * kScale)); }
  static HPEN Pen(double width, Colour c) {
    LOGBRUSH lb{BS_SOLID, c, 0};
    return ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_ROUND | PS_JOIN_ROUND,
                        static_cast<DWORD>(std::max(1, S(width))), &lb, 0, nullptr);
  }
  static std::vector<POINT> Points(const std::vector<Pt>& points) {
    std::vector<POINT> p;
    for (const Pt& q : points) p.push_back({S(q.x), S(q.y)});
    return p;
  }

  HDC target_;
  RECT rc_;
  int w_, h_;
  HDC dc_;
  HBITMAP big_;
  HGDIOBJ old_;
  std::uint32_t* bits_ = nullptr;
};

// ---- Shapes ----------------------------------------------------------------------

// The program's emblem: a two-tone shield with a tick, in the box (x, y, s, s).
void Shield(Canvas& c, double x, double y, double s) {
  auto P = [&](double u, double v) { return Pt{x + u * s, y + v * s}; };
  c.Path(P(0.5, 0.02),
         {{P(0.9, 0.16)},
          {P(0.9, 0.46)},
          {P(0.9, 0.74), P(0.72, 0.9), P(0.5, 0.99)},
          {P(0.28, 0.9), P(0.1, 0.74), P(0.1, 0.46)},
          {P(0.1, 0.16)}},
         palette::kAccent);
  c.Path(P(0.5, 0.02), {{P(0.9, 0.16)}, {P(0.9, 0.46)}, {P(0.9, 0.74), P(0.72, 0.9), P(0.5, 0.99)}},
         kAccentDark);
  c.Polyline({P(0.3, 0.5), P(0.45, 0.65), P(0.72, 0.36)}, s * 0.1, kWhite);
}

// A rectangle of `length` by `thickness` around `centre`, turned by `degrees`.
std::vector<Pt> TurnedRect(Pt centre, double length, double thickness, double degrees) {
  const double a = degrees * kPi / 180;
  const Pt u{std::cos(a) * length / 2, -std::sin(a) * length / 2};
  const Pt v{std::sin(a) * thickness / 2, std::cos(a) * thickness / 2};
  return {{centre.x - u.x - v.x, centre.y - u.y - v.y},
          {centre.x + u.x - v.x, centre.y + u.y - v.y},
          {centre.x + u.x + v.x, centre.y + u.y + v.y},
          {centre.x - u.x + v.x, centre.y - u.y + v.y}};
}

// The command glyphs, drawn in a square of side `s` at (x, y) in `ink` on `ground`.
void EraserGlyph(Canvas& c, double x, double y, double s, Colour ink, Colour ground) {
  const double k = s / 24;
  const Pt centre{x + 12.8 * k, y + 10.6 * k};
  std::vector<Pt> body = TurnedRect(centre, 17 * k, 8.6 * k, 45);
  body.push_back(body.front());
  c.Polygon(body, ground);
  c.Polyline(body, 1.9 * k, ink);
  // The rubber end, towards the lower left.
  const Pt tip{centre.x - 4.2 * k * std::cos(kPi / 4), centre.y + 4.2 * k * std::sin(kPi / 4)};
  c.Polygon(TurnedRect(tip, 8.6 * k, 8.6 * k, 45), ink);
  c.Line({x + 3 * k, y + 21 * k}, {x + 21 * k, y + 21 * k}, 1.9 * k, ink);
}

void SlidersGlyph(Canvas& c, double x, double y, double s, Colour ink, Colour ground) {
  const double k = s / 24;
  const double rows[3] = {5, 12, 19}, knobs[3] = {8, 16, 11};
  for (int i = 0; i < 3; ++i) {
    c.Line({x + 3 * k, y + rows[i] * k}, {x + 21 * k, y + rows[i] * k}, 1.9 * k, ink);
    c.Disc(x + knobs[i] * k, y + rows[i] * k, 3.2 * k, ink);
    c.Disc(x + knobs[i] * k, y + rows[i] * k, 1.3 * k, ground);
  }
}

void GearGlyph(Canvas& c, double x, double y, double s, Colour ink, Colour ground) {
  const double k = s / 24, cx = x + 12 * k, cy = y + 12 * k;
  std::vector<Pt> gear;
  for (int t = 0; t < 8; ++t) {
    const double base = t * 45.0;
    for (const auto& [da, r] : {std::pair{-22.5, 7.6}, std::pair{-11.5, 7.6}, std::pair{-8.0, 11.0},
                                std::pair{8.0, 11.0}, std::pair{11.5, 7.6}}) {
      const double a = (base + da) * kPi / 180;
      gear.push_back({cx + r * k * std::cos(a), cy - r * k * std::sin(a)});
    }
  }
  c.Polygon(gear, ink);
  c.Disc(cx, cy, 3.4 * k, ground);
}

void InfoGlyph(Canvas& c, double x, double y, double s, Colour ink) {
  const double k = s / 24;
  c.Ring(x + 12 * k, y + 12 * k, 10 * k, 1.9 * k, ink);
  c.Disc(x + 12 * k, y + 7.4 * k, 1.6 * k, ink);
  c.Line({x + 12 * k, y + 11 * k}, {x + 12 * k, y + 17.2 * k}, 2.4 * k, ink);
}

void MagnifierGlyph(Canvas& c, double x, double y, double s, Colour ink) {
  const double k = s / 24;
  c.Ring(x + 10 * k, y + 10 * k, 7 * k, 2.2 * k, ink);
  c.Line({x + 15.2 * k, y + 15.2 * k}, {x + 21 * k, y + 21 * k}, 3 * k, ink);
}

void DriveGlyph(Canvas& c, double x, double y, double s, Colour ink, Colour tile) {
  const double k = s / 24;
  c.RoundRect(x + 1 * k, y + 6 * k, 22 * k, 13 * k, 3 * k, ink);
  c.RoundRect(x + 3.2 * k, y + 8.2 * k, 17.6 * k, 8.6 * k, 1.6 * k, tile);
  c.Line({x + 6 * k, y + 12.5 * k}, {x + 13 * k, y + 12.5 * k}, 2 * k, ink);
  c.Disc(x + 17.5 * k, y + 12.5 * k, 1.5 * k, ink);
}

void PowerGlyph(Canvas& c, double x, double y, double s, Colour ink) {
  const double k = s / 24;
  c.Arc(x + 12 * k, y + 13 * k, 9 * k, 122, 58, 2.2 * k, ink);
  c.Line({x + 12 * k, y + 2.5 * k}, {x + 12 * k, y + 12 * k}, 2.2 * k, ink);
}

void PaintTile(HDC dc, const RECT& rc, Picture picture, bool highlighted) {
  Canvas c(dc, rc);
  c.Fill(palette::kSidebar);
  const double s = std::min(c.Width(), c.Height());
  const double x0 = (c.Width() - s) / 2, y0 = (c.Height() - s) / 2;
  const Colour tile = highlighted ? palette::kSidebarHot : kTile;
  const Colour ink = highlighted ? kWhite : palette::kSidebarText;
  c.RoundRect(x0 + 1, y0 + 1, s - 2, s - 2, s * 0.22, tile);
  const double g = s * 0.5, gx = x0 + (s - g) / 2, gy = y0 + (s - g) / 2;
  switch (picture) {
    case Picture::StartErasing: EraserGlyph(c, gx, gy, g, ink, tile); break;
    case Picture::EraseSettings: SlidersGlyph(c, gx, gy, g, ink, tile); break;
    case Picture::Options: GearGlyph(c, gx, gy, g, ink, tile); break;
    case Picture::About: InfoGlyph(c, gx, gy, g, ink); break;
    case Picture::Preview: MagnifierGlyph(c, gx, gy, g, ink); break;
    case Picture::WipeFreeSpace: DriveGlyph(c, gx, gy, g, ink, tile); break;
    default: PowerGlyph(c, gx, gy, g, ink); break;
  }
  c.Finish();
}

// The close, minimise and help buttons of a title strip.
void PaintTitleButton(HDC dc, const RECT& rc, Picture picture, bool hot, int formY) {
  Canvas c(dc, rc);
  c.FillTitle(formY);
  const double s = std::min(c.Width(), c.Height());
  const double x = (c.Width() - s) / 2, y = (c.Height() - s) / 2, k = s / 24;
  if (hot)
    c.RoundRect(x + 2 * k, y + 2 * k, 20 * k, 20 * k, 4 * k,
                picture == Picture::Close ? kCloseHot : palette::kSidebarHot);
  const Colour ink = hot ? kWhite : palette::kTitleText;
  switch (picture) {
    case Picture::Close:
      c.Line({x + 8 * k, y + 8 * k}, {x + 16 * k, y + 16 * k}, 1.6 * k, ink);
      c.Line({x + 16 * k, y + 8 * k}, {x + 8 * k, y + 16 * k}, 1.6 * k, ink);
      break;
    case Picture::Minimize:
      c.Line({x + 7.5 * k, y + 15.5 * k}, {x + 16.5 * k, y + 15.5 * k}, 1.6 * k, ink);
      break;
    default:
      c.Ring(x + 12 * k, y + 12 * k, 7.6 * k, 1.3 * k, ink);
      c.Text("?", 10.5 * k, true, ink);
      break;
  }
  c.Finish();
}

// The list icons, drawn over black and over white to recover their coverage.
using IconDrawing = void (*)(Canvas&);

void CategoryIcon(Canvas& c) {
  c.RoundRect(1, 3, 6.5, 3, 1, kFolder);
  c.RoundRect(1, 4.5, 14, 9.5, 1.5, kFolder);
  c.RoundRect(1, 6.5, 14, 7.5, 1.5, Mix(kFolder, kWhite, 0.25));
}

void ApplicationIcon(Canvas& c) {
  c.RoundRect(1, 2, 14, 12, 1.8, palette::kSidebar);
  c.Rect(2.2, 5, 11.6, 7.8, kWhite);
  c.Rect(3.3, 6.5, 5, 1.4, palette::kAccent);
  c.Rect(3.3, 9, 8, 1.2, palette::kBorder);
}

void DoneIcon(Canvas& c) {
  c.Disc(8, 8, 7, kDone);
  c.Polyline({{4.6, 8.2}, {7, 10.6}, {11.4, 5.8}}, 1.8, kWhite);
}

HBITMAP IconBitmap(IconDrawing draw) {
  const RECT rc{0, 0, 16, 16};
  HDC screen = GetDC(nullptr);
  std::vector<std::uint32_t> onBlack, onWhite;
  {
    Canvas c(screen, rc);
    c.Fill(kBlack);
    if (draw) draw(c);
    onBlack = c.Resolve();
  }
  {
    Canvas c(screen, rc);
    c.Fill(kWhite);
    if (draw) draw(c);
    onWhite = c.Resolve();
  }
  ReleaseDC(nullptr, screen);
  std::uint32_t* bits = nullptr;
  HBITMAP bmp = Canvas::Dib(16, 16, &bits);
  for (std::size_t i = 0; i < onBlack.size(); ++i) {
    auto channel = [&](int shift) {
      return std::pair<int, int>((onBlack[i] >> shift) & 0xFF, (onWhite[i] >> shift) & 0xFF);
    };
    int alpha = 0;
    for (int shift : {0, 8, 16}) alpha += 255 - (channel(shift).second - channel(shift).first);
    alpha = std::clamp(alpha / 3, 0, 255);
    std::uint32_t pixel = static_cast<std::uint32_t>(alpha) << 24;
    for (int shift : {0, 8, 16}) {
      const int straight = alpha ? std::min(255, channel(shift).first * 255 / alpha) : 0;
      pixel |= static_cast<std::uint32_t>(straight) << shift;
    }
    bits[i] = pixel;
  }
  return bmp;
}

}  // namespace

// ---- Fonts, colours, brushes -----------------------------------------------------------

HFONT SkinFont(TextStyle style) {
  static std::map<TextStyle, HFONT> fonts;
  if (auto it = fonts.find(style); it != fonts.end()) return it->second;
  int points = 8;
  bool bold = false, underline = false;
  switch (style) {
    case TextStyle::Title:
      points = 10;
      bold = true;
      break;
    case TextStyle::Heading:
      points = 9;
      bold = true;
      break;
    case TextStyle::Counter:
      points = 9;
      bold = true;
      break;
    case TextStyle::Sidebar: points = 9; break;
    case TextStyle::Bold: bold = true; break;
    case TextStyle::Link: underline = true; break;
    case TextStyle::Normal:
    case TextStyle::Small: break;
  }
  HFONT font =
      CreateFontA(-MulDiv(points, 96, 72), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, underline,
                  FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                  ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_SWISS, "Tahoma");
  fonts[style] = font;
  return font;
}

COLORREF SkinTextColour(const Control& control) {
  return control.Style() == TextStyle::Link ? palette::kLink : control.ForeColour();
}

HBRUSH SkinBrush(Colour colour) {
  static std::map<Colour, HBRUSH> brushes;
  HBRUSH& brush = brushes[colour];
  if (!brush) brush = CreateSolidBrush(colour);
  return brush;
}

bool HasSkinBorder(const Control& control) {
  const ControlKind k = control.Kind();
  return k == ControlKind::ListView || k == ControlKind::ListBox || k == ControlKind::TextBox;
}

HIMAGELIST SkinSmallIcons() {
  static HIMAGELIST list = [] {
    HIMAGELIST l = ImageList_Create(16, 16, ILC_COLOR32, 6, 0);
    const IconDrawing icons[6] = {ApplicationIcon, CategoryIcon, ApplicationIcon,
                                  nullptr,         nullptr,      DoneIcon};
    for (IconDrawing draw : icons) {
      HBITMAP bmp = IconBitmap(draw);
      ImageList_Add(l, bmp, nullptr);
      DeleteObject(bmp);
    }
    return l;
  }();
  return list;
}

int SkinIconImage(RowMark mark) {
  const int n = static_cast<int>(mark);
  return n >= 1 && n <= 6 ? n - 1 : I_IMAGENONE;
}

// ---- Painting ---------------------------------------------------------------------------

namespace {

// The thin frame around each list and text box whose container is `container`.
void PaintChildBorders(HDC dc, const Form& form, const Control* container, int originX,
                       int originY) {
  for (const Control* c : form.Controls()) {
    if (c->Container() != container || !HasSkinBorder(*c) || !c->Shown()) continue;
    const int x = c->Left() / kTwipsPerPixel - originX, y = c->Top() / kTwipsPerPixel - originY;
    RECT r{x - 1, y - 1, x + c->Width() / kTwipsPerPixel + 1, y + c->Height() / kTwipsPerPixel + 1};
    FrameRect(dc, &r, SkinBrush(palette::kBorder));
  }
}

}  // namespace

void PaintLabel(HDC dc, const RECT& rc, const Control& label) {
  FillBack(dc, rc, label.BackColour(), FormTop(label));
  const std::string& text = label.Caption();
  if (text.empty()) return;
  HGDIOBJ old = SelectObject(dc, SkinFont(label.Style()));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, label.Enabled() ? SkinTextColour(label)
                                   : Mix(label.ForeColour(), label.BackColour(), 0.55));
  UINT flags = DT_NOPREFIX | DT_WORDBREAK | DT_EXPANDTABS;
  if (label.Alignment() == Align::Center)
    flags |= DT_CENTER;
  else if (label.Alignment() == Align::Right)
    flags |= DT_RIGHT;
  // One line of text sits in the middle of its label; more start at the top.
  RECT measure = rc;
  const int height = DrawTextA(dc, text.c_str(), -1, &measure, flags | DT_CALCRECT);
  TEXTMETRICA tm;
  GetTextMetricsA(dc, &tm);
  RECT r = rc;
  if (height <= tm.tmHeight && height < rc.bottom - rc.top)
    r.top += (rc.bottom - rc.top - height) / 2;
  DrawTextA(dc, text.c_str(), -1, &r, flags);
  SelectObject(dc, old);
}

void PaintImage(HDC dc, const RECT& rc, const Image& image, bool hot) {
  const int formY = FormTop(image);
  switch (image.Shows()) {
    case Picture::TitleBar: FillBack(dc, rc, palette::kTitle, formY); break;
    case Picture::Grip: {
      Canvas c(dc, rc);
      c.FillTitle(formY);
      const double s = std::min(c.Width(), c.Height()) - 4.0;
      Shield(c, (c.Width() - s) / 2, (c.Height() - s) / 2, s);
      c.Finish();
      break;
    }
    case Picture::Close:
    case Picture::Minimize:
    case Picture::Help: PaintTitleButton(dc, rc, image.Shows(), hot, formY); break;
    case Picture::StartErasing:
    case Picture::EraseSettings:
    case Picture::Options:
    case Picture::About:
    case Picture::Preview:
    case Picture::WipeFreeSpace:
    case Picture::Exit: PaintTile(dc, rc, image.Shows(), image.Highlighted()); break;
    case Picture::Logo: {
      Canvas c(dc, rc);
      c.Fill(image.BackColour());
      const double s = std::min(c.Width(), c.Height());
      c.Disc(c.Width() / 2.0, c.Height() / 2.0, s / 2,
             Mix(palette::kAccent, image.BackColour(), 0.85));
      const double inner = s * 0.64;
      Shield(c, (c.Width() - inner) / 2, (c.Height() - inner) / 2, inner);
      c.Finish();
      break;
    }
    case Picture::Background:
    case Picture::None: FillBack(dc, rc, image.BackColour(), formY); break;
  }
}

void PaintPictureButton(HDC dc, const RECT& rc, const Control& button, bool hot, bool pressed) {
  const bool enabled = button.Enabled();
  {
    Canvas c(dc, rc);
    c.Fill(button.BackColour());
    const Colour face = !enabled  ? palette::kBorder
                        : pressed ? kAccentDown
                        : hot     ? kAccentHot
                                  : palette::kAccent;
    c.RoundRect(0.5, 0.5, c.Width() - 1.0, c.Height() - 1.0, 5, face);
    c.Finish();
  }
  HGDIOBJ old = SelectObject(dc, SkinFont(TextStyle::Bold));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, enabled ? kWhite : palette::kMutedText);
  RECT r = rc;
  if (pressed) OffsetRect(&r, 0, 1);
  DrawTextA(dc, button.Caption().c_str(), -1, &r,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, old);
}

void PaintFrame(HDC dc, const RECT& rc, const Frame& frame) {
  FillBack(dc, rc, frame.BackColour(), FormTop(frame));
  HGDIOBJ oldFont = SelectObject(dc, SkinFont(frame.Style()));
  const std::string& caption = frame.Caption();
  SIZE size{0, 0};
  if (!caption.empty())
    GetTextExtentPoint32A(dc, caption.c_str(), static_cast<int>(caption.size()), &size);
  const int top = size.cy / 2;
  HPEN pen = CreatePen(PS_SOLID, 1, palette::kBorder);
  HGDIOBJ oldPen = SelectObject(dc, pen);
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
  RoundRect(dc, rc.left, rc.top + top, rc.right, rc.bottom, 7, 7);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(pen);
  if (!caption.empty()) {
    RECT gap{rc.left + 7, rc.top, rc.left + 15 + size.cx, rc.top + size.cy};
    FillRect(dc, &gap, SkinBrush(frame.BackColour()));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, frame.Enabled() ? SkinTextColour(frame) : palette::kMutedText);
    TextOutA(dc, rc.left + 11, rc.top, caption.c_str(), static_cast<int>(caption.size()));
  }
  SelectObject(dc, oldFont);
  PaintChildBorders(dc, frame.Owner(), &frame, frame.Left() / kTwipsPerPixel,
                    frame.Top() / kTwipsPerPixel);
}

void PaintPanel(HDC dc, const RECT& rc, const PictureBox& panel) {
  FillBack(dc, rc, panel.BackColour(), FormTop(panel));
  if (panel.Backdrop == Picture::Background) {
    const RECT column{rc.left, rc.top, rc.left + kBackdropColumnWidth,
                      rc.bottom - kBackdropStatusHeight};
    FillRect(dc, &column, SkinBrush(palette::kSidebar));
    const RECT status{rc.left, rc.bottom - kBackdropStatusHeight, rc.right, rc.bottom};
    FillRect(dc, &status, SkinBrush(palette::kTitle));
  }
  PaintChildBorders(dc, panel.Owner(), &panel, panel.Left() / kTwipsPerPixel,
                    panel.Top() / kTwipsPerPixel);
}

void PaintFormBackground(HDC dc, const RECT& rc, const Form& form) {
  FillRect(dc, &rc, SkinBrush(palette::kWindow));
  // A borderless window still needs an edge against what lies behind it.
  FrameRect(dc, &rc, SkinBrush(Mix(palette::kBorder, palette::kTitle, 0.5)));
  PaintChildBorders(dc, form, nullptr, 0, 0);
}

}  // namespace nimbrel
