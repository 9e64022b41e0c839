// Draws Ottermoor's artwork: the bitmaps of the image lists, the flag ball
// and the three icon files, and writes the resource script that puts them
// into the program.
//
//   make_artwork OUTPUT_DIR
//
// Built with the build machine's own compiler and run at build time, so the
// images are made from this file alone: no image tool and no font is needed,
// and every build draws exactly the same pixels. Bitmaps are 16 x 16, 24-bit,
// on aqua (0, 255, 255), the colour the program treats as transparent;
// icons are 32-bit with alpha.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

namespace {

struct Rgb {
  int r, g, b;
};

constexpr Rgb kAqua{0, 255, 255};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};

Rgb Mix(Rgb a, Rgb b, double t) {
  t = std::clamp(t, 0.0, 1.0);
  return {static_cast<int>(std::lround(a.r + (b.r - a.r) * t)), static_cast<int>(std::lround(a.g + (b.g - a.g) * t)),
          static_cast<int>(std::lround(a.b + (b.b - a.b) * t))};
}
Rgb Darker(Rgb c, double t = 0.45) { return Mix(c, kBlack, t); }
Rgb Lighter(Rgb c, double t = 0.6) { return Mix(c, kWhite, t); }

// An image with an alpha channel; bitmaps use only the opaque pixels and
// show the background colour elsewhere.
class Image {
 public:
  Image(int width, int height) : w_(width), h_(height), rgb_(width * height, kAqua), alpha_(width * height, 0) {}

  int width() const { return w_; }
  int height() const { return h_; }

  void Set(int x, int y, Rgb c) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
    rgb_[y * w_ + x] = c;
    alpha_[y * w_ + x] = 255;
  }
  void Clear(int x, int y) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
    rgb_[y * w_ + x] = kAqua;
    alpha_[y * w_ + x] = 0;
  }
  Rgb At(int x, int y) const { return rgb_[y * w_ + x]; }
  bool Opaque(int x, int y) const { return alpha_[y * w_ + x] != 0; }

  void Fill(int x0, int y0, int x1, int y1, Rgb c) {
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) Set(x, y, c);
  }
  void Frame(int x0, int y0, int x1, int y1, Rgb c) {
    for (int x = x0; x <= x1; ++x) Set(x, y0, c), Set(x, y1, c);
    for (int y = y0; y <= y1; ++y) Set(x0, y, c), Set(x1, y, c);
  }
  // A box with a darker frame and a lighter top-left edge.
  void Box(int x0, int y0, int x1, int y1, Rgb c) {
    Fill(x0, y0, x1, y1, c);
    for (int x = x0 + 1; x < x1; ++x) Set(x, y0 + 1, Lighter(c, 0.35));
    for (int y = y0 + 1; y < y1; ++y) Set(x0 + 1, y, Lighter(c, 0.35));
    Frame(x0, y0, x1, y1, Darker(c));
  }
  void Line(double x0, double y0, double x1, double y1, Rgb c, double thickness = 1.0) {
    const double length = std::hypot(x1 - x0, y1 - y0);
    const int steps = std::max(1, static_cast<int>(length * 4));
    const double r = thickness / 2.0;
    for (int i = 0; i <= steps; ++i) {
      const double x = x0 + (x1 - x0) * i / steps, y = y0 + (y1 - y0) * i / steps;
      for (int py = static_cast<int>(std::floor(y - r)); py <= static_cast<int>(std::ceil(y + r)); ++py)
        for (int px = static_cast<int>(std::floor(x - r)); px <= static_cast<int>(std::ceil(x + r)); ++px)
          if (std::hypot(px + 0.5 - (x + 0.5), py + 0.5 - (y + 0.5)) <= r + 0.01) Set(px, py, c);
    }
  }
  // A shaded ball: light towards the top left, a dark rim.
  void Ball(double cx, double cy, double radius, Rgb c) {
    for (int y = 0; y < h_; ++y)
      for (int x = 0; x < w_; ++x) {
        const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
        if (d > radius) continue;
        if (d > radius - 1.0) {
          Set(x, y, Darker(c, 0.5));
          continue;
        }
        const double hl = std::hypot(x + 0.5 - (cx - radius * 0.35), y + 0.5 - (cy - radius * 0.35));
        Rgb shade = hl < radius * 0.3 ? Lighter(c, 0.75 - hl / radius) : c;
        if (d > radius * 0.7) shade = Darker(shade, (d / radius - 0.7) * 0.8);
        Set(x, y, shade);
      }
  }
  void Ring(double cx, double cy, double outer, double inner, Rgb c) {
    for (int y = 0; y < h_; ++y)
      for (int x = 0; x < w_; ++x) {
        const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
        if (d <= outer && d >= inner) Set(x, y, c);
      }
  }
  void Diamond(int cx, int cy, int r, Rgb c) {
    for (int y = -r; y <= r; ++y)
      for (int x = -r; x <= r; ++x)
        if (std::abs(x) + std::abs(y) <= r) Set(cx + x, cy + y, std::abs(x) + std::abs(y) == r ? Darker(c) : (x + y < -r / 2 ? Lighter(c, 0.4) : c));
  }
  void Triangle(int cx, int top, int bottom, Rgb c) {
    const int rows = bottom - top;
    for (int y = 0; y <= rows; ++y) {
      const int half = y * 7 / std::max(1, rows);
      for (int x = -half; x <= half; ++x) Set(cx + x, top + y, (x == -half || x == half || y == rows) ? Darker(c) : c);
    }
  }

  // Text in the 5 x 7 pixel font; `scale` enlarges each pixel.
  void Text(int x, int y, const std::string& text, Rgb c, int scale = 1);

  // Everything opaque turned grey (for the disabled icon).
  void Greyed() {
    for (Rgb& p : rgb_) {
      const int v = (p.r * 30 + p.g * 59 + p.b * 11) / 100;
      p = Mix({v, v, v}, {192, 192, 192}, 0.35);
    }
  }

  const std::vector<std::uint8_t>& alpha() const { return alpha_; }

 private:
  int w_, h_;
  std::vector<Rgb> rgb_;
  std::vector<std::uint8_t> alpha_;
};

// 5 x 7 glyphs, rows top to bottom, '#' set.
struct Glyph {
  char c;
  const char* rows[7];
};
constexpr Glyph kFont[] = {
    {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
    {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
    {'W', {"#...#", "#...#", "#...#", "#.#.#", "#.#.#", "##.##", "#...#"}},
    {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'H', {"#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'F', {"#####", "#....", "#....", "####.", "#....", "#....", "#...."}},
    {'B', {"####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."}},
    {'?', {".###.", "#...#", "....#", "..##.", "..#..", ".....", "..#.."}},
    {'0', {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."}},
    {'1', {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'<', {"...#.", "..#..", ".#...", "#....", ".#...", "..#..", "...#."}},
    {'>', {".#...", "..#..", "...#.", "....#", "...#.", "..#..", ".#..."}},
};

void Image::Text(int x, int y, const std::string& text, Rgb c, int scale) {
  for (char ch : text) {
    for (const Glyph& g : kFont) {
      if (g.c != ch) continue;
      for (int row = 0; row < 7; ++row)
        for (int col = 0; col < 5; ++col)
          if (g.rows[row][col] == '#') Fill(x + col * scale, y + row * scale, x + col * scale + scale - 1, y + row * scale + scale - 1, c);
    }
    x += 6 * scale;
  }
}

// --- shapes used by several images ---

void CheckMark(Image& im, Rgb c, int dx = 0, int dy = 0) {
  im.Line(2 + dx, 8 + dy, 6 + dx, 12 + dy, Darker(c, 0.3), 2.4);
  im.Line(6 + dx, 12 + dy, 13 + dx, 3 + dy, Darker(c, 0.3), 2.4);
  im.Line(2 + dx, 8 + dy, 6 + dx, 12 + dy, c, 1.4);
  im.Line(6 + dx, 12 + dy, 13 + dx, 3 + dy, c, 1.4);
}

void Folder(Image& im) {
  const Rgb yellow{240, 200, 60};
  im.Fill(1, 3, 6, 4, Darker(yellow, 0.15));
  im.Box(1, 4, 14, 13, yellow);
  im.Fill(2, 6, 13, 6, Darker(yellow, 0.25));
}

void Magnifier(Image& im) {
  im.Ring(6.5, 6.5, 5.5, 3.6, {70, 70, 90});
  im.Ball(6.5, 6.5, 3.8, {170, 210, 255});
  im.Line(10, 10, 14, 14, {120, 70, 30}, 2.6);
}

void TrashCan(Image& im) {
  const Rgb steel{150, 160, 170};
  im.Fill(5, 1, 10, 2, Darker(steel));
  im.Box(2, 3, 13, 4, steel);
  for (int y = 5; y <= 14; ++y) {
    const int inset = (y - 5) / 5;
    im.Fill(3 + inset, y, 12 - inset, y, steel);
    im.Set(3 + inset, y, Darker(steel));
    im.Set(12 - inset, y, Darker(steel));
  }
  im.Fill(4, 14, 11, 14, Darker(steel));
  for (int x : {5, 8, 10}) im.Line(x, 6, x, 12, Darker(steel, 0.3));
}

void Recycle(Image& im) {
  const Rgb green{40, 160, 60};
  // Two arcs chasing each other round a circle, each ending in an arrow head.
  for (double a = 0.0; a < 2 * M_PI; a += 0.02) {
    const double phase = std::fmod(a, M_PI);
    if (phase > M_PI * 0.78) continue;  // the gap before each head
    const double x = 7.5 + 5.2 * std::cos(a), y = 7.5 + 5.2 * std::sin(a);
    im.Line(x, y, x, y, green, 2.2);
  }
  for (double a : {M_PI * 0.78, M_PI * 1.78}) {
    const double x = 7.5 + 5.2 * std::cos(a), y = 7.5 + 5.2 * std::sin(a);
    const double tx = -std::sin(a), ty = std::cos(a);  // direction of travel
    const double nx = std::cos(a), ny = std::sin(a);
    for (double s = 0; s <= 3.0; s += 0.5)
      im.Line(x + nx * s, y + ny * s, x + tx * 3.2, y + ty * 3.2, Darker(green, 0.2), 1.0),
          im.Line(x - nx * s, y - ny * s, x + tx * 3.2, y + ty * 3.2, Darker(green, 0.2), 1.0);
  }
}

void Padlock(Image& im) {
  const Rgb gold{220, 170, 40};
  im.Ring(8, 6, 4.6, 2.8, {120, 120, 130});
  im.Box(2, 7, 13, 14, gold);
  im.Fill(7, 9, 8, 12, Darker(gold, 0.6));
}

void Clock(Image& im) {
  im.Ball(8, 8, 7.5, {70, 110, 200});
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      if (std::hypot(x + 0.5 - 8, y + 0.5 - 8) <= 5.8) im.Set(x, y, kWhite);
  for (int h = 0; h < 12; h += 3) {
    const double a = h * M_PI / 6;
    im.Set(static_cast<int>(std::lround(7.5 + 4.6 * std::sin(a))), static_cast<int>(std::lround(7.5 - 4.6 * std::cos(a))), {40, 40, 40});
  }
  im.Line(7.5, 7.5, 7.5, 3.5, kBlack, 1.2);
  im.Line(7.5, 7.5, 10.5, 9.5, kBlack, 1.2);
}

void Star(Image& im, double cx, double cy, double outer, Rgb c) {
  // Five points; a pixel is inside when its angle's star radius covers it.
  for (int y = 0; y < im.height(); ++y)
    for (int x = 0; x < im.width(); ++x) {
      const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
      const double a = std::atan2(dy, dx) + M_PI / 2;
      const double sector = std::fmod(std::fabs(a) + 2 * M_PI, 2 * M_PI / 5) / (2 * M_PI / 5);
      const double r = outer * (0.45 + 0.55 * std::fabs(sector - 0.5) * 2);
      if (std::hypot(dx, dy) <= r) im.Set(x, y, std::hypot(dx, dy) > r - 1.0 ? Darker(c) : c);
    }
}

void LetterTile(Image& im, const std::string& text, Rgb c) {
  im.Box(1, 1, 14, 14, c);
  const int width = static_cast<int>(text.size()) * 6 - 1;
  im.Text(8 - (width + 1) / 2, 5 - 1, text, kWhite);
}

void NoSign(Image& im, double cx = 8, double cy = 8, double outer = 7.4) {
  const Rgb red{210, 30, 30};
  im.Ring(cx, cy, outer, outer - 2.0, red);
  im.Line(cx - outer * 0.62, cy - outer * 0.62, cx + outer * 0.62, cy + outer * 0.62, red, 2.0);
}

// The program's icon: a clipboard with a written page.
void ClipboardIcon(Image& im) {
  const int s = im.width();
  const Rgb board{170, 110, 55}, clip{190, 195, 205};
  if (s >= 32) {
    im.Box(4, 3, 27, 30, board);
    im.Fill(7, 7, 24, 27, kWhite);
    im.Frame(7, 7, 24, 27, {150, 150, 150});
    im.Box(10, 1, 21, 6, clip);
    im.Fill(14, 2, 17, 3, Darker(clip));
    const int lengths[] = {14, 11, 14, 9, 12};
    for (int i = 0; i < 5; ++i) im.Fill(9, 10 + i * 3, 9 + lengths[i] - 1, 10 + i * 3, {40, 80, 170});
  } else {
    im.Box(2, 1, 13, 15, board);
    im.Fill(4, 4, 11, 13, kWhite);
    im.Box(5, 0, 10, 3, clip);
    const int lengths[] = {7, 5, 7, 4};
    for (int i = 0; i < 4; ++i) im.Fill(5, 6 + i * 2, 5 + lengths[i] - 1, 6 + i * 2, {40, 80, 170});
  }
}

// --- files ---

void Put16(std::vector<std::uint8_t>& out, unsigned v) {
  out.push_back(v & 0xFF);
  out.push_back((v >> 8) & 0xFF);
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream f(path, std::ios::binary);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  f.close();
  if (!f) std::cerr << "make_artwork: cannot write " << path << "\n";
  return static_cast<bool>(f);
}

void InfoHeader(std::vector<std::uint8_t>& out, int width, int height, int bits, std::uint32_t image_size) {
  Put32(out, 40);
  Put32(out, static_cast<std::uint32_t>(width));
  Put32(out, static_cast<std::uint32_t>(height));
  Put16(out, 1);
  Put16(out, static_cast<unsigned>(bits));
  Put32(out, 0);  // BI_RGB
  Put32(out, image_size);
  Put32(out, 2835);  // 72 dpi
  Put32(out, 2835);
  Put32(out, 0);
  Put32(out, 0);
}

// A 24-bit .bmp, transparent pixels in aqua.
std::vector<std::uint8_t> Bmp(const Image& im) {
  const int stride = (im.width() * 3 + 3) & ~3;
  const std::uint32_t image_size = static_cast<std::uint32_t>(stride * im.height());
  std::vector<std::uint8_t> out;
  out.push_back('B');
  out.push_back('M');
  Put32(out, 14 + 40 + image_size);
  Put32(out, 0);
  Put32(out, 14 + 40);
  InfoHeader(out, im.width(), im.height(), 24, image_size);
  for (int y = im.height() - 1; y >= 0; --y) {
    for (int x = 0; x < im.width(); ++x) {
      const Rgb c = im.Opaque(x, y) ? im.At(x, y) : kAqua;
      out.push_back(static_cast<std::uint8_t>(c.b));
      out.push_back(static_cast<std::uint8_t>(c.g));
      out.push_back(static_cast<std::uint8_t>(c.r));
    }
    for (int pad = im.width() * 3; pad < stride; ++pad) out.push_back(0);
  }
  return out;
}

// An .ico holding the images, each 32-bit with alpha and an AND mask.
std::vector<std::uint8_t> Ico(const std::vector<Image>& images) {
  std::vector<std::vector<std::uint8_t>> bodies;
  for (const Image& im : images) {
    const int mask_stride = ((im.width() + 31) / 32) * 4;
    const std::uint32_t size = static_cast<std::uint32_t>(im.width() * im.height() * 4 + mask_stride * im.height());
    std::vector<std::uint8_t> body;
    InfoHeader(body, im.width(), im.height() * 2, 32, size);
    for (int y = im.height() - 1; y >= 0; --y)
      for (int x = 0; x < im.width(); ++x) {
        const Rgb c = im.At(x, y);
        const bool opaque = im.Opaque(x, y);
        body.push_back(static_cast<std::uint8_t>(opaque ? c.b : 0));
        body.push_back(static_cast<std::uint8_t>(opaque ? c.g : 0));
        body.push_back(static_cast<std::uint8_t>(opaque ? c.r : 0));
        body.push_back(opaque ? 255 : 0);
      }
    for (int y = im.height() - 1; y >= 0; --y) {
      std::vector<std::uint8_t> row(static_cast<std::size_t>(mask_stride), 0);
      for (int x = 0; x < im.width(); ++x)
        if (!im.Opaque(x, y)) row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
      body.insert(body.end(), row.begin(), row.end());
    }
    bodies.push_back(std::move(body));
  }
  std::vector<std::uint8_t> out;
  Put16(out, 0);
  Put16(out, 1);
  Put16(out, static_cast<unsigned>(images.size()));
  std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
  for (std::size_t i = 0; i < images.size(); ++i) {
    out.push_back(static_cast<std::uint8_t>(images[i].width() & 0xFF));
    out.push_back(static_cast<std::uint8_t>(images[i].height() & 0xFF));
    out.push_back(0);
    out.push_back(0);
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, static_cast<std::uint32_t>(bodies[i].size()));
    Put32(out, offset);
    offset += static_cast<std::uint32_t>(bodies[i].size());
  }
  for (const auto& body : bodies) out.insert(out.end(), body.begin(), body.end());
  return out;
}

struct Bitmap {
  std::string name;
  std::function<void(Image&)> draw;
};

std::vector<Bitmap> Bitmaps() {
  std::vector<Bitmap> list;
  auto ball = [](Rgb c) { return [c](Image& im) { im.Ball(8, 8, 6.5, c); }; };
  list.push_back({"YELLOWBALL", ball({245, 215, 40})});
  list.push_back({"PINKBALL", ball({240, 110, 170})});
  list.push_back({"TV_GREY", ball({150, 150, 150})});
  list.push_back({"BLUEBALL", [](Image& im) { im.Ball(8, 8, 4.5, {40, 90, 220}); }});
  // State images: favourite (green check), new clip (orange star), both.
  list.push_back({"TV_CHECK_GREEN", [](Image& im) { CheckMark(im, {40, 170, 40}); }});
  list.push_back({"TV_NEWCLIP", [](Image& im) { Star(im, 8, 8.5, 7.2, {250, 140, 20}); }});
  list.push_back({"TV_CHECK_BOTH", [](Image& im) {
                    Star(im, 10.5, 5.5, 5.2, {250, 140, 20});
                    CheckMark(im, {40, 170, 40}, -1, 2);
                  }});
  list.push_back({"TV_REJECTCLIP", [](Image& im) {
                    im.Line(3, 3, 12, 12, {200, 30, 30}, 2.4);
                    im.Line(12, 3, 3, 12, {200, 30, 30}, 2.4);
                  }});
  list.push_back({"TV_FOLDER", Folder});
  list.push_back({"TV_SEARCH", Magnifier});
  list.push_back({"TV_TRASH", TrashCan});
  list.push_back({"TV_RECYCLE", Recycle});
  list.push_back({"TV_SAFE", Padlock});
  list.push_back({"TV_TIME", Clock});
  // The collection icons B1 .. B33: three shapes in eleven colours.
  const Rgb colours[11] = {{220, 40, 40},  {240, 130, 20}, {230, 200, 30}, {60, 170, 50},  {30, 150, 150}, {40, 100, 220},
                           {120, 60, 200}, {200, 60, 170}, {130, 85, 45},  {90, 90, 100},  {20, 40, 110}};
  for (int i = 0; i < 33; ++i) {
    const Rgb c = colours[i % 11];
    const int shape = i / 11;
    list.push_back({"B" + std::to_string(i + 1), [c, shape](Image& im) {
                      if (shape == 0) im.Box(2, 2, 13, 13, c);
                      if (shape == 1) im.Diamond(7, 7, 7, c);
                      if (shape == 2) im.Triangle(7, 1, 14, c);
                    }});
  }
  // Clip types.
  list.push_back({"CF_TEXT", [](Image& im) { LetterTile(im, "T", {40, 90, 200}); }});
  list.push_back({"CF_RTF", [](Image& im) { LetterTile(im, "R", {190, 40, 40}); }});
  list.push_back({"CF_BITMAP", [](Image& im) {
                    im.Fill(1, 2, 14, 13, {120, 180, 240});
                    im.Ball(11, 5.5, 2.2, {250, 210, 40});
                    for (int x = 1; x <= 14; ++x) {
                      const int top = 9 + static_cast<int>(std::lround(2.2 * std::sin(x * 0.6)));
                      im.Fill(x, top, x, 13, {60, 150, 60});
                    }
                    im.Frame(1, 2, 14, 13, {60, 60, 60});
                  }});
  list.push_back({"CF_WMF", [](Image& im) { LetterTile(im, "W", {120, 60, 180}); }});
  list.push_back({"CF_OLE", [](Image& im) { LetterTile(im, "O", {20, 140, 140}); }});
  list.push_back({"CF_UNKNOWN", [](Image& im) { LetterTile(im, "?", {130, 130, 130}); }});
  list.push_back({"CF_HDROP", [](Image& im) {
                    Folder(im);
                    im.Text(5, 6, "F", {120, 80, 0});
                  }});
  list.push_back({"CF_HTML", [](Image& im) { LetterTile(im, "H", {230, 110, 20}); }});
  list.push_back({"CF_BINARY", [](Image& im) {
                    im.Box(0, 1, 15, 14, {40, 110, 60});
                    im.Text(2, 4, "01", kWhite);
                  }});
  list.push_back({"CHECKMARK", [](Image& im) { CheckMark(im, {40, 170, 40}); }});
  list.push_back({"NO", [](Image& im) { NoSign(im); }});
  return list;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make_artwork OUTPUT_DIR\n";
    return 1;
  }
  const std::string dir = std::string(argv[1]) + "/";
  bool ok = true;
  std::string rc =
      "// Written by make_artwork: the program's bitmaps and icons.\n"
      "MAINICON ICON \"32n16.ico\"\n"
      "TRAY_NORMAL ICON \"16x16.ico\"\n"
      "TRAY_DISABLED ICON \"16x16_no.ico\"\n";
  for (const Bitmap& b : Bitmaps()) {
    Image im(16, 16);
    b.draw(im);
    ok &= WriteFile(dir + b.name + ".bmp", Bmp(im));
    rc += b.name + " BITMAP \"" + b.name + ".bmp\"\n";
  }

  Image big(32, 32), small(16, 16), no(16, 16);
  ClipboardIcon(big);
  ClipboardIcon(small);
  ClipboardIcon(no);
  no.Greyed();
  NoSign(no, 10.5, 10.5, 5.4);
  ok &= WriteFile(dir + "32n16.ico", Ico({big, small}));
  ok &= WriteFile(dir + "16x16.ico", Ico({small}));
  ok &= WriteFile(dir + "16x16_no.ico", Ico({no}));
  ok &= WriteFile(dir + "artwork.rc", std::vector<std::uint8_t>(rc.begin(), rc.end()));
  return ok ? 0 : 1;
}
