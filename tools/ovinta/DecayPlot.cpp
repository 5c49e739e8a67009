// SPDX-License-Identifier: GPL-3.0-or-later
// Energy decay curves drawn with cairo.

#include "tools/ovinta/DecayPlot.h"

#include "tools/ovinta/ToolError.h"

#include <cairo.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace ovinta {

namespace {

constexpr int kWidth = 800, kHeight = 450;
constexpr double kLeft = 60.0, kRight = 150.0, kTop = 40.0, kBottom = 45.0;
constexpr double kFloorDb = -70.0;

struct Colour {
    double r, g, b;
};
// Octave bands from dark red (125 Hz) to violet (8 kHz).
constexpr Colour kBandColours[kOctaveBandCount] = {
    {0.70, 0.10, 0.10}, {0.90, 0.45, 0.05}, {0.75, 0.65, 0.00}, {0.20, 0.60, 0.20},
    {0.10, 0.60, 0.70}, {0.15, 0.30, 0.85}, {0.55, 0.25, 0.75}};

struct Axes {
    double seconds; // right end of the time axis
    double x(double t) const { return kLeft + t / seconds * (kWidth - kLeft - kRight); }
    double y(double db) const
    {
        return kTop + std::clamp(db, kFloorDb, 0.0) / kFloorDb * (kHeight - kTop - kBottom);
    }
};

void curve(cairo_t* cr, const Axes& axes, const BandAnalysis& band, Colour c, double width)
{
    if (band.curveSeconds.empty())
        return;
    cairo_set_source_rgb(cr, c.r, c.g, c.b);
    cairo_set_line_width(cr, width);
    for (std::size_t i = 0; i < band.curveSeconds.size(); ++i) {
        const double px = axes.x(band.curveSeconds[i]), py = axes.y(band.curveDb[i]);
        if (i == 0)
            cairo_move_to(cr, px, py);
        else
            cairo_line_to(cr, px, py);
        if (band.curveDb[i] < kFloorDb)
            break;
    }
    cairo_stroke(cr);
}

void fitLine(cairo_t* cr, const Axes& axes, const DecayFit& fit, Colour c, const double* dashes,
             int dashCount)
{
    if (!fit.valid)
        return;
    // The fitted line over its fit range, extended to -60 dB below its start.
    const double endSeconds = fit.fromSeconds + (kFloorDb - fit.fromDb) / fit.slopeDbPerSecond;
    cairo_set_source_rgb(cr, c.r, c.g, c.b);
    cairo_set_line_width(cr, 1.5);
    cairo_set_dash(cr, dashes, dashCount, 0.0);
    cairo_move_to(cr, axes.x(fit.fromSeconds), axes.y(fit.fromDb));
    cairo_line_to(cr, axes.x(std::min(endSeconds, axes.seconds)),
                  axes.y(fit.fromDb + fit.slopeDbPerSecond * (std::min(endSeconds, axes.seconds) -
                                                              fit.fromSeconds)));
    cairo_stroke(cr);
    cairo_set_dash(cr, nullptr, 0, 0.0);
}

void legend(cairo_t* cr, int row, const std::string& text, Colour c, bool dashed)
{
    const double x = kWidth - kRight + 12.0, y = kTop + 8.0 + 18.0 * row;
    cairo_set_source_rgb(cr, c.r, c.g, c.b);
    cairo_set_line_width(cr, 2.0);
    const double dash[] = {5.0, 3.0};
    cairo_set_dash(cr, dash, dashed ? 2 : 0, 0.0);
    cairo_move_to(cr, x, y);
    cairo_line_to(cr, x + 22.0, y);
    cairo_stroke(cr);
    cairo_set_dash(cr, nullptr, 0, 0.0);
    cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
    cairo_move_to(cr, x + 28.0, y + 4.0);
    cairo_show_text(cr, text.c_str());
}

std::string figure(const char* name, const std::optional<double>& seconds)
{
    char text[48];
    if (seconds)
        std::snprintf(text, sizeof text, "%s %.2f s", name, *seconds);
    else
        std::snprintf(text, sizeof text, "%s n/a", name);
    return text;
}

void draw(cairo_t* cr, const ChannelAnalysis& channel, const std::string& title)
{
    // The time axis covers the longest curve down to the plot's floor.
    double seconds = 0.1;
    auto reach = [&](const BandAnalysis& band) {
        for (std::size_t i = 0; i < band.curveSeconds.size(); ++i)
            if (band.curveDb[i] >= kFloorDb)
                seconds = std::max(seconds, band.curveSeconds[i]);
    };
    reach(channel.full);
    for (const BandAnalysis& band : channel.octave)
        reach(band);
    seconds = std::ceil(seconds * 10.0) / 10.0;
    const Axes axes{seconds};

    cairo_set_source_rgb(cr, 1.0, 1.0, 1.0);
    cairo_paint(cr);
    cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, 11.0);

    // Grid every 10 dB and at round time steps, with their labels.
    const double steps[] = {0.05, 0.1, 0.2, 0.25, 0.5, 1.0, 2.0, 5.0, 10.0};
    double step = steps[0];
    for (double s : steps)
        if (seconds / s <= 10.0) {
            step = s;
            break;
        }
    char text[32];
    cairo_set_line_width(cr, 1.0);
    for (double db = 0.0; db >= kFloorDb; db -= 10.0) {
        cairo_set_source_rgb(cr, 0.85, 0.85, 0.85);
        cairo_move_to(cr, kLeft, axes.y(db));
        cairo_line_to(cr, kWidth - kRight, axes.y(db));
        cairo_stroke(cr);
        cairo_set_source_rgb(cr, 0.2, 0.2, 0.2);
        std::snprintf(text, sizeof text, "%.0f", db);
        cairo_move_to(cr, kLeft - 30.0, axes.y(db) + 4.0);
        cairo_show_text(cr, text);
    }
    for (int k = 0; k * step <= seconds + 1e-9; ++k) {
        const double t = k * step;
        cairo_set_source_rgb(cr, 0.85, 0.85, 0.85);
        cairo_move_to(cr, axes.x(t), kTop);
        cairo_line_to(cr, axes.x(t), kHeight - kBottom);
        cairo_stroke(cr);
        cairo_set_source_rgb(cr, 0.2, 0.2, 0.2);
        std::snprintf(text, sizeof text, "%g", t);
        cairo_move_to(cr, axes.x(t) - 8.0, kHeight - kBottom + 16.0);
        cairo_show_text(cr, text);
    }
    cairo_move_to(cr, (kLeft + kWidth - kRight) / 2.0 - 20.0, kHeight - 8.0);
    cairo_show_text(cr, "time (s)");
    cairo_move_to(cr, 8.0, kTop - 10.0);
    cairo_show_text(cr, "decay (dB)");
    cairo_set_font_size(cr, 13.0);
    cairo_move_to(cr, kLeft, 20.0);
    cairo_show_text(cr, title.c_str());
    cairo_set_font_size(cr, 11.0);

    for (int k = 0; k < kOctaveBandCount; ++k) {
        curve(cr, axes, channel.octave[k], kBandColours[k], 1.2);
        legend(cr, k + 1, octaveBandName(k, true), kBandColours[k], false);
    }
    const Colour black{0.0, 0.0, 0.0}, grey{0.45, 0.45, 0.45};
    curve(cr, axes, channel.full, black, 2.2);
    legend(cr, 0, "full band", black, false);
    const double longDash[] = {8.0, 4.0}, shortDash[] = {2.0, 3.0};
    fitLine(cr, axes, channel.full.t20, grey, shortDash, 2);
    fitLine(cr, axes, channel.full.t30, black, longDash, 2);
    legend(cr, kOctaveBandCount + 2, figure("T20", channel.full.figures.t20Seconds), grey, true);
    legend(cr, kOctaveBandCount + 3, figure("T30", channel.full.figures.t30Seconds), black, true);
}

} // namespace

void writeDecayPlot(const ChannelAnalysis& channel, const std::string& title,
                    const std::string& path)
{
    std::unique_ptr<cairo_surface_t, void (*)(cairo_surface_t*)> surface(
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, kHeight), cairo_surface_destroy);
    std::unique_ptr<cairo_t, void (*)(cairo_t*)> cr(cairo_create(surface.get()), cairo_destroy);
    draw(cr.get(), channel, title);
    cairo_surface_flush(surface.get());

    const std::size_t slash = path.rfind('/');
    std::string temporary = (slash == std::string::npos ? std::string(".") : path.substr(0, slash)) +
                            "/." + path.substr(slash == std::string::npos ? 0 : slash + 1) +
                            ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        throw ToolError("cannot write " + path + ": " + std::strerror(errno));
    ::close(fd);
    const cairo_status_t status = cairo_surface_write_to_png(surface.get(), temporary.c_str());
    if (status != CAIRO_STATUS_SUCCESS) {
        ::unlink(temporary.c_str());
        throw ToolError("cannot write " + path + ": " + cairo_status_to_string(status));
    }
    ::chmod(temporary.c_str(), 0644);
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        const std::string reason = std::strerror(errno);
        ::unlink(temporary.c_str());
        throw ToolError("cannot write " + path + ": " + reason);
    }
}

std::string octaveBandName(int band, bool units)
{
    char text[48];
    const double hz = kOctaveCentresHz[band];
    const bool kilo = hz >= 1000.0;
    std::snprintf(text, sizeof text, "%g%s", kilo ? hz / 1000.0 : hz,
                  units ? (kilo ? " kHz" : " Hz") : (kilo ? "k" : ""));
    return text;
}

} // namespace ovinta
