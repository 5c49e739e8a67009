// SPDX-License-Identifier: GPL-3.0-or-later
// HeadlessWindow: pixels in memory, scripted input.

#include "toolkit/platform/HeadlessWindow.h"

#include <cairo.h>

#include <chrono>

namespace ovinta {

HeadlessWindow::HeadlessWindow(CPoint size, PlatformEvents& s)
    : sink(s), width(size.h > 0 ? size.h : 1), height(size.v > 0 ? size.v : 1),
      pixels(static_cast<size_t>(width) * height, 0xFF000000u)
{
}

void HeadlessWindow::present(const PixelView& view, const CRect& dirty)
{
    const CRect r = dirty.intersect(CRect(0, 0, std::min(width, view.width), std::min(height, view.height)));
    if (!view.data || r.isEmpty())
        return;
    for (int y = r.top; y < r.bottom; ++y) {
        const auto* in = reinterpret_cast<const uint32_t*>(view.data + static_cast<ptrdiff_t>(y) * view.stride);
        for (int x = r.left; x < r.right; ++x)
            pixels[static_cast<size_t>(y) * width + x] = in[x] | 0xFF000000u;
    }
    ++presents;
}

void HeadlessWindow::processEvents()
{
    while (!events.empty()) {
        const Event e = events.front();
        events.pop_front();
        if (e.kind == EventKind::Key) {
            sink.platformKeyDown(e.key);
            continue;
        }
        switch (e.kind) {
        case EventKind::Press: sink.platformMouseDown(e.where, e.buttons); break;
        case EventKind::Move: sink.platformMouseMoved(e.where, e.buttons); break;
        case EventKind::Release: sink.platformMouseUp(e.where, e.buttons); break;
        case EventKind::Key: break;
        }
    }
}

uint32_t HeadlessWindow::tickCountMs()
{
    if (manualTicks)
        return *manualTicks;
    using namespace std::chrono;
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

bool HeadlessWindow::runFileDialog(const FileDialogRequest& request, std::string& chosenPath)
{
    lastDialog = request;
    if (!dialogAvailable || !dialogAnswer)
        return false;
    chosenPath = *dialogAnswer;
    return true;
}

std::unique_ptr<FileDialogSession> HeadlessWindow::startFileDialog(const FileDialogRequest& request)
{
    if (!dialogStarter)
        return PlatformWindow::startFileDialog(request);
    lastDialog = request;
    return dialogAvailable ? dialogStarter(request) : nullptr;
}

void HeadlessWindow::pressAt(CPoint where, int buttonState)
{
    events.push_back({EventKind::Press, where, buttonState, {}});
}

void HeadlessWindow::holdAt(CPoint where, int buttonState) { events.push_back({EventKind::Move, where, buttonState, {}}); }

void HeadlessWindow::releaseAt(CPoint where) { events.push_back({EventKind::Release, where, 0, {}}); }

void HeadlessWindow::click(CPoint where, int buttonState)
{
    pressAt(where, buttonState);
    releaseAt(where);
}

void HeadlessWindow::drag(CPoint from, CPoint to, int steps, int buttonState)
{
    pressAt(from, buttonState);
    const int n = steps > 0 ? steps : 1;
    for (int i = 1; i <= n; ++i)
        holdAt(CPoint(from.h + (to.h - from.h) * i / n, from.v + (to.v - from.v) * i / n), buttonState);
    releaseAt(to);
}

void HeadlessWindow::moveTo(CPoint where) { events.push_back({EventKind::Move, where, 0, {}}); }

void HeadlessWindow::typeKey(const CKeyCode& key) { events.push_back({EventKind::Key, CPoint(), 0, key}); }

CColor HeadlessWindow::getPixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return kTransparentCColor;
    const uint32_t p = pixels[static_cast<size_t>(y) * width + x];
    return CColor{static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8), static_cast<uint8_t>(p), 255};
}

bool HeadlessWindow::writePng(const char* path, const CRect& area) const
{
    const CRect r = area.intersect(CRect(0, 0, width, height));
    if (r.width() <= 0 || r.height() <= 0)
        return false;
    unsigned char* first = reinterpret_cast<unsigned char*>(
        const_cast<uint32_t*>(pixels.data() + static_cast<size_t>(r.top) * static_cast<size_t>(width) + r.left));
    cairo_surface_t* s =
        cairo_image_surface_create_for_data(first, CAIRO_FORMAT_RGB24, r.width(), r.height(), width * 4);
    const bool ok = cairo_surface_write_to_png(s, path) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(s);
    return ok;
}

bool HeadlessWindow::writePng(const char* path) const
{
    cairo_surface_t* s = cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(const_cast<uint32_t*>(pixels.data())), CAIRO_FORMAT_RGB24, width, height,
        width * 4);
    const bool ok = cairo_surface_write_to_png(s, path) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(s);
    return ok;
}

} // namespace ovinta
