#include "sim/picture/IdePicture.h"

#include "host/vcl/ImgList.h"
#include "interop/Utf.h"
#include "sim/SimulatedIde.h"
#include "sim/editors/EditWindow.h"

#include <cairo-svg.h>
#include <cairo.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>

namespace tvx::sim {
namespace {

constexpr double kWidth = 1100;
constexpr double kRow = 20;
constexpr double kFontSize = 12;

struct Images {
    const TCustomImageList* menu = nullptr;
    const TCustomImageList* toolbar = nullptr;
};

// Captions as a user reads them: "&" marks the access key, "&&" is one "&".
std::string Shown(const std::u16string& caption)
{
    std::u16string text;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && i + 1 < caption.size())
            ++i;
        text += caption[i];
    }
    return Utf16ToUtf8(text);
}

class Painter {
public:
    explicit Painter(cairo_t* cr) : cr_(cr)
    {
        cairo_select_font_face(cr_, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
        cairo_set_font_size(cr_, kFontSize);
    }

    void Fill(double x, double y, double w, double h, std::uint32_t rgb)
    {
        Color(rgb);
        cairo_rectangle(cr_, x, y, w, h);
        cairo_fill(cr_);
    }
    void Frame(double x, double y, double w, double h, std::uint32_t rgb)
    {
        Color(rgb);
        cairo_set_line_width(cr_, 1);
        cairo_rectangle(cr_, x + 0.5, y + 0.5, w - 1, h - 1);
        cairo_stroke(cr_);
    }
    void Box(double x, double y, double w, double h, std::uint32_t fill, std::uint32_t border)
    {
        Fill(x, y, w, h, fill);
        Frame(x, y, w, h, border);
    }
    double TextWidth(const std::string& text)
    {
        cairo_text_extents_t extents;
        cairo_text_extents(cr_, text.c_str(), &extents);
        return extents.x_advance;
    }
    // Text on a row whose top is y.
    void Text(double x, double y, const std::string& text, std::uint32_t rgb = 0x000000)
    {
        Color(rgb);
        cairo_move_to(cr_, x, y + kRow / 2 + kFontSize / 2 - 2);
        cairo_show_text(cr_, text.c_str());
    }
    // One image of a list, transparent where its mask says so.
    void Image(const TCustomImageList* list, int index, double x, double y)
    {
        if (!list || index < 0 || index >= list->Count())
            return;
        const TImageListImage& image = list->Images(index);
        const int w = list->Width(), h = list->Height();
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
        const int stride = cairo_image_surface_get_stride(surface);
        unsigned char* data = cairo_image_surface_get_data(surface);
        cairo_surface_flush(surface);
        for (int row = 0; row < h; ++row)
            for (int col = 0; col < w; ++col) {
                const std::size_t i = std::size_t(row * w + col);
                const bool clear = i >= image.Pixels.size() || (i < image.Mask.size() && image.Mask[i]);
                const std::uint32_t pixel = clear ? 0 : 0xFF000000u | image.Pixels[i];
                *reinterpret_cast<std::uint32_t*>(data + row * stride + col * 4) = pixel;
            }
        cairo_surface_mark_dirty(surface);
        cairo_set_source_surface(cr_, surface, x, y);
        cairo_paint(cr_);
        cairo_surface_destroy(surface);
    }
    void Line(double x1, double y1, double x2, double y2, std::uint32_t rgb)
    {
        Color(rgb);
        cairo_set_line_width(cr_, 1);
        cairo_move_to(cr_, x1, y1 + 0.5);
        cairo_line_to(cr_, x2, y2 + 0.5);
        cairo_stroke(cr_);
    }

private:
    void Color(std::uint32_t rgb)
    {
        cairo_set_source_rgb(cr_, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0);
    }
    cairo_t* cr_;
};

bool HoldsPackageItems(const MenuItemRecord& item)
{
    return item.PackageMade ||
           std::any_of(item.Items.begin(), item.Items.end(), [](const auto& i) { return HoldsPackageItems(i); });
}

// A drop-down menu at (x, y), and beside each item that holds package items
// its own submenu, opened.
void DrawMenu(Painter& p, const Images& images, const std::vector<MenuItemRecord>& items, double x, double y)
{
    double width = 160;
    for (const auto& item : items)
        if (item.Visible)
            width =
                std::max(width, p.TextWidth(Shown(item.Caption)) + p.TextWidth(Utf16ToUtf8(item.ShortCutText)) + 80);
    std::vector<const MenuItemRecord*> shown;
    for (const auto& item : items)
        if (item.Visible)
            shown.push_back(&item);
    p.Box(x, y, width, double(shown.size()) * kRow + 4, 0xF5F5F5, 0x808080);
    double row = y + 2;
    std::vector<std::pair<const MenuItemRecord*, double>> opened;
    for (const MenuItemRecord* item : shown) {
        if (item->Separator) {
            p.Line(x + 4, row + kRow / 2, x + width - 4, row + kRow / 2, 0xA0A0A0);
        } else {
            if (item->PackageMade)
                p.Fill(x + 1, row, 3, kRow, 0x3070C0);
            p.Image(images.menu, item->ImageIndex, x + 6, row + 2);
            if (item->Checked)
                p.Text(x + 8, row, "\u2713");
            const std::uint32_t color = item->Enabled ? 0x000000 : 0x909090;
            p.Text(x + 30, row, Shown(item->Caption), color);
            if (!item->ShortCutText.empty())
                p.Text(x + width - 12 - p.TextWidth(Utf16ToUtf8(item->ShortCutText)), row,
                       Utf16ToUtf8(item->ShortCutText), color);
            if (!item->Items.empty()) {
                p.Text(x + width - 12, row, "\u25B8", color);
                if (HoldsPackageItems(*item))
                    opened.emplace_back(item, row);
            }
        }
        row += kRow;
    }
    for (const auto& [item, top] : opened)
        DrawMenu(p, images, item->Items, x + width - 4, top);
}

// The toolbars docked at the top, wrapped into rows; answers the height used.
double DrawToolbars(Painter& p, const Images& images, const std::vector<ToolbarRecord>& toolbars, double top)
{
    double x = 4, y = top;
    for (const ToolbarRecord& bar : toolbars) {
        if (!bar.Visible || bar.Floating)
            continue;
        std::vector<std::pair<const ToolbarControlRecord*, double>> controls;
        double width = 10;
        for (const ToolbarControlRecord& c : bar.Controls) {
            if (!c.Visible)
                continue;
            const double w = c.Kind == "combo" || c.Kind == "list"          ? 120
                             : c.Kind == "separator" || c.Kind == "divider" ? 8
                             : c.ImageIndex >= 0 || c.Caption.empty()       ? 24
                                                                            : p.TextWidth(Shown(c.Caption)) + 12;
            controls.emplace_back(&c, w);
            width += w + 2;
        }
        if (x > 4 && x + width > kWidth - 4) {
            x = 4;
            y += 30;
        }
        p.Box(x, y + 1, width, 28, 0xECECEC, 0xB0B0B0);
        p.Line(x + 4, y + 6, x + 4, y + 24, 0x909090);
        double cx = x + 10;
        for (const auto& [c, w] : controls) {
            if (c->Kind == "separator" || c->Kind == "divider") {
                p.Line(cx + 3, y + 6, cx + 3, y + 24, 0xA0A0A0);
            } else if (c->Kind == "combo" || c->Kind == "list") {
                p.Box(cx, y + 5, w, 20, 0xFFFFFF, 0x808080);
                p.Text(cx + 4, y + 5, Utf16ToUtf8(c->Text));
                p.Text(cx + w - 14, y + 5, "\u25BE");
            } else {
                if (c->Down)
                    p.Box(cx, y + 4, w, 22, 0xD0DCF0, 0x6080B0);
                if (c->ImageIndex >= 0)
                    p.Image(images.toolbar, c->ImageIndex, cx + 4, y + 7);
                else
                    p.Text(cx + 6, y + 5, Shown(c->Caption), c->Enabled ? 0x000000 : 0x909090);
            }
            cx += w + 2;
        }
        x += width + 6;
    }
    return y + 32 - top;
}

// A window frame with its caption; answers the client area's top.
double DrawWindow(Painter& p, double x, double y, double w, double h, const std::string& caption, bool active)
{
    p.Box(x, y, w, h, 0xFFFFFF, 0x606060);
    p.Fill(x + 1, y + 1, w - 2, kRow, active ? 0x3A6EA5 : 0x9AA8B8);
    p.Text(x + 6, y + 1, caption, 0xFFFFFF);
    return y + kRow + 1;
}

void DrawEditorTabs(Painter& p, const EditorWindowRecord& window, const TCustomImageList* images, double x, double y,
                    double w)
{
    p.Fill(x, y, w, 24, 0xDDE3EA);
    double tx = x + 4;
    for (const EditorTabRecord& tab : window.Tabs) {
        const double tw = p.TextWidth(Utf16ToUtf8(tab.Caption)) + (tab.Image >= 0 ? 34 : 16);
        p.Box(tx, y + 2, tw, 22, tab.Selected ? 0xFFFFFF : 0xC8D0DA, 0x8090A0);
        double text = tx + 8;
        if (tab.Image >= 0) {
            p.Image(images, tab.Image, tx + 4, y + 5);
            p.Image(images, tab.Overlay, tx + 4, y + 5);
            text += 18;
        }
        p.Text(text, y + 3, Utf16ToUtf8(tab.Caption));
        tx += tw + 2;
    }
}

void Draw(Painter& p, SimulatedIde& ide, double height)
{
    const Images images{ide.MainMenu().Images(), ide.Toolbars().Images()};
    const std::vector<MenuItemRecord> menu = ide.MainMenu().Tree();
    const std::vector<ToolbarRecord> toolbars = ide.Toolbars().Snapshot();
    const std::vector<ToolWindowRecord> tools = ide.ToolWindows().Snapshot();
    const EditorWindowsRecord editors = ide.EditorWindows().Snapshot();
    const std::vector<TEditWindow*> editWindows = ide.EditorWindows().Windows();

    p.Fill(0, 0, kWidth, height, 0xE4E8EE);
    p.Fill(0, 0, kWidth, 24, 0x2B4C7E);
    p.Text(8, 2, "RAD Studio XE (simulated)", 0xFFFFFF);

    // The menu bar; its drop-downs are drawn last, over everything.
    p.Fill(0, 24, kWidth, kRow + 2, 0xF5F5F5);
    double x = 6;
    std::vector<std::pair<const MenuItemRecord*, double>> opened;
    for (const MenuItemRecord& item : menu) {
        if (!item.Visible)
            continue;
        const std::string caption = Shown(item.Caption);
        if (HoldsPackageItems(item)) {
            p.Box(x - 4, 25, p.TextWidth(caption) + 8, kRow, 0xD0DCF0, 0x6080B0);
            opened.emplace_back(&item, x - 4);
        }
        p.Text(x, 25, caption);
        x += p.TextWidth(caption) + 14;
    }
    const double barsTop = 24 + kRow + 2;
    const double top = barsTop + DrawToolbars(p, images, toolbars, barsTop);

    // The dock sites around the editor area, each with its docked windows.
    const double bottom = height - 8;
    struct Site {
        std::u16string name;
        double x, y, w, h;
    };
    const double bottomHeight = 150;
    const Site sites[] = {{u"LeftDockPanel", 4, top, 220, bottom - top - bottomHeight - 4},
                          {u"RightDockPanel", kWidth - 224, top, 220, bottom - top - bottomHeight - 4},
                          {u"BottomDockPanel", 4, bottom - bottomHeight, kWidth - 8, bottomHeight}};
    for (const Site& site : sites) {
        std::vector<const ToolWindowRecord*> docked;
        for (const ToolWindowRecord& tool : tools)
            if (tool.Visible && tool.DockSite == site.name)
                docked.push_back(&tool);
        if (docked.empty())
            continue;
        const double each = site.h / double(docked.size());
        for (std::size_t i = 0; i < docked.size(); ++i) {
            const ToolWindowRecord& tool = *docked[i];
            const double y = site.y + each * double(i);
            const double client = DrawWindow(p, site.x, y, site.w, each - 2, Shown(tool.Caption), tool.Active);
            if (tool.Window)
                for (const WindowRecord& child : tool.Window->Children)
                    if (child.Visible && !child.Text.empty())
                        p.Text(site.x + 8, client + 4, Utf16ToUtf8(child.Text), 0x404040);
        }
    }

    // The editor windows: the front one in the middle, the others cascading.
    const double ex = 230, ey = top, ew = kWidth - 460, eh = bottom - top - bottomHeight - 4;
    for (std::size_t i = 0; i < editors.Windows.size(); ++i) {
        const EditorWindowRecord& window = editors.Windows[i];
        const double offset = 24.0 * double(editors.Windows.size() - 1 - i);
        const double client =
            DrawWindow(p, ex + offset, ey + offset, ew - offset, eh - offset, Shown(window.Caption), i == 0);
        const TCustomImageList* tabImages = i < editWindows.size() ? editWindows[i]->TabImages() : nullptr;
        DrawEditorTabs(p, window, tabImages, ex + offset + 1, client, ew - offset - 2);
    }

    // Floating tool windows over the rest, cascading from the right.
    double fx = kWidth - 520, fy = top + 40;
    for (const ToolWindowRecord& tool : tools) {
        if (!tool.Visible || !tool.DockSite.empty())
            continue;
        const double w = std::clamp(double(tool.Width), 160.0, 420.0), h = std::clamp(double(tool.Height), 80.0, 300.0);
        const double client = DrawWindow(p, fx, fy, w, h, Shown(tool.Caption), tool.Active);
        if (tool.Window)
            for (const WindowRecord& child : tool.Window->Children)
                if (child.Visible && !child.Text.empty())
                    p.Text(fx + 8, client + 4, Utf16ToUtf8(child.Text), 0x404040);
        fx -= 30;
        fy += 30;
    }

    for (const auto& [item, left] : opened)
        DrawMenu(p, images, item->Items, left, 24 + kRow + 1);
}

} // namespace

std::string DrawIdePicture(SimulatedIde& ide, const std::string& file)
{
    constexpr double height = 760;
    const bool svg = file.size() >= 4 && file.compare(file.size() - 4, 4, ".svg") == 0;
    const bool png = file.size() >= 4 && file.compare(file.size() - 4, 4, ".png") == 0;
    if (!svg && !png)
        return "a picture is a .png or .svg file: " + file;
    std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> surface(
        svg ? cairo_svg_surface_create(file.c_str(), kWidth, height)
            : cairo_image_surface_create(CAIRO_FORMAT_RGB24, int(kWidth), int(height)),
        &cairo_surface_destroy);
    std::unique_ptr<cairo_t, decltype(&cairo_destroy)> cr(cairo_create(surface.get()), &cairo_destroy);
    Painter painter(cr.get());
    Draw(painter, ide, height);
    cairo_surface_flush(surface.get());
    cairo_status_t status = png ? cairo_surface_write_to_png(surface.get(), file.c_str()) : CAIRO_STATUS_SUCCESS;
    cairo_surface_finish(surface.get());
    if (status == CAIRO_STATUS_SUCCESS)
        status = cairo_surface_status(surface.get());
    if (status != CAIRO_STATUS_SUCCESS)
        return "cannot write the picture " + file + ": " + cairo_status_to_string(status);
    return {};
}

} // namespace tvx::sim
