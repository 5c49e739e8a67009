// SPDX-License-Identifier: GPL-3.0-or-later
// OVExportPage: option groups, SAVE, the file request and the page's own
// file-name entry.

#include "editor/screens/OVExportPage.h"

#include "editor/screens/ScreenPanel.h"
#include "core/EditorPort.h"
#include "toolkit/CBitmap.h"
#include "toolkit/platform/UserFolders.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace ovinta {

namespace {

constexpr CColor kSelectedText = kWhiteCColor;
constexpr CColor kPlainText{220, 200, 195, 255};
constexpr CColor kNoticeFill{255, 250, 225, 255};
constexpr CColor kNoticeText{25, 25, 25, 255};
constexpr CColor kBannerFill{95, 0, 0, 255};
constexpr CColor kEntryPanel{40, 42, 52, 255};
constexpr CColor kEntryBack{255, 250, 225, 255};

constexpr const char* kInitialName = "OvintaIR_";
constexpr const char* kDialogTitle = "Select initial filename to save";
constexpr const char* kErrorText = "ERROR SAVING FILE! CHECK IT IS NOT ALREADY OPEN";
constexpr int kBannerBlink = 16;       // the banner skips draws where its ticks are a multiple of this
constexpr float kRates[] = {44100.0f, 48000.0f, 96000.0f};

// Columns: labels, first box x, y, initial selection, initial phase.
struct GroupRow {
    const char* labels[ExportChoice::kMaxOptions];
    int count;
    int x0, y0;
    int selected;
    int phase;
};
constexpr GroupRow kGroupRows[OVExportPage::kGroupCount] = {
    {{"44100", "48000", "96000"}, 3, 32, 128, 0, ExportChoice::kFullPhase},
    {{"16 bit Wav", "Float WAV", "Float RAW"}, 3, 32, 184, 1, ExportChoice::kFullPhase},
    {{"Off", "On"}, 2, 32, 240, 1, 0},
    {{"SAVE"}, 1, 32, 320, -1, 0},
};

// The file type offered for each format: name, Mac type, DOS type.
struct FileTypeRow {
    const char* name;
    const char* macType;
    const char* dosType;
};
constexpr FileTypeRow kFileTypes[] = {
    {"16 bit WAV", ".wav", "wav"},
    {"32 IEEE float WAV", ".wav", "wav"},
    {"32 IEEE float RAW", ".raw", "raw"},
};

// The own file-name entry, shown over the SAVE row.
constexpr CRect kEntryPanelRect(16, 306, 392, 400);
constexpr CRect kEntryCaption(24, 310, 384, 326);
constexpr CRect kEntryField(24, 330, 384, 348);
constexpr CRect kOkBox(216, 362, 296, 378);
constexpr CRect kCancelBox(304, 362, 384, 378);

// Copies `text` into `out` of `size` bytes, cut to fit and always terminated.
void copyTruncated(char* out, size_t size, const char* text)
{
    std::strncpy(out, text, size - 1);
    out[size - 1] = '\0';
}

// Strictly inside: a press on a box's edge pixel misses, as in the groups.
bool strictlyInside(const CRect& r, CPoint p)
{
    return p.h > r.left && p.h < r.right && p.v > r.top && p.v < r.bottom;
}

} // namespace

int ExportChoice::optionAt(CPoint where) const
{
    for (int i = 0; i < count; ++i) {
        const int left = x0 + kBoxStep * i;
        if (where.h > left && where.h < left + kBoxWidth && where.v > y0 && where.v < y0 + kBoxHeight)
            return i;
    }
    return -1;
}

OVExportPage::OVExportPage(EditorPort& e, ExportPageListener& l, CBitmap* bg, std::string path)
    : port(e), listener(l), background(bg), initialPath(std::move(path))
{
    if (background)
        background->remember();
    for (int g = 0; g < kGroupCount; ++g) {
        const GroupRow& row = kGroupRows[g];
        ExportChoice& choice = groups[g];
        choice.count = row.count;
        choice.x0 = row.x0;
        choice.y0 = row.y0;
        choice.selected = row.selected;
        choice.phase = row.phase;
        for (int i = 0; i < row.count; ++i)
            copyTruncated(choice.labels[i], sizeof choice.labels[i], row.labels[i]);
    }
    entry = std::make_unique<CTextEdit>(kEntryField, nullptr, 0, "");
    entry->setFont(kNormalFont, kNormalFace);
    entry->setFontColor(kNoticeText);
    entry->setBackColor(kEntryBack);
    entry->setFrameColor(kPlainText);
    entry->setHoriAlign(kLeftText);
}

OVExportPage::~OVExportPage()
{
    if (dialogOpen)
        listener.exportPageClosing(*this);
    if (background)
        background->forget();
}

std::string OVExportPage::defaultInitialPath(const std::string& folder)
{
    // A system-wide install is rarely writable: a first export there would
    // only end in the error banner.
    if (isWritableFolder(folder))
        return folder + kInitialName;
    const std::string user = userSaveFolder();
    return (user.empty() ? folder : user) + kInitialName;
}

// ---- Drawing ---------------------------------------------------------------------

void OVExportPage::draw(CDrawContext& picture)
{
    const CRect whole(0, 0, kSize, kSize);
    if (background)
        background->draw(&picture, whole);
    else
        screenpanel::paint(picture);
    for (ExportChoice& g : groups)
        drawGroup(picture, g);
    if (entryOpen)
        drawEntry(picture);
    if (port.exportCountdown() != 0)
        drawNotice(picture, "Exporting, please wait...");
    else if (dialogOpen)
        drawNotice(picture, "Waiting for the file dialog...");
}

void OVExportPage::drawNotice(CDrawContext& picture, const char* text)
{
    const CRect notice(4, 370, 404, 394);
    picture.setFillColor(kNoticeFill);
    picture.fillRect(notice);
    picture.setFont(kNormalFontVeryBig, kBoldFace);
    picture.setFontColor(kNoticeText);
    picture.drawString(text, notice, kCenterText);
}

void OVExportPage::drawGroup(CDrawContext& picture, ExportChoice& g)
{
    picture.setFont(kNormalFont, kBoldFace);
    picture.setLineWidth(1);
    for (int i = 0; i < g.count; ++i) {
        const CRect box = CRect::fromSize(g.x0 + ExportChoice::kBoxStep * i, g.y0, ExportChoice::kBoxWidth,
                                          ExportChoice::kBoxHeight);
        if (i == g.selected) {
            // The outline fades from yellow to pale over 16 draws.
            picture.setFrameColor(CColor{255, 225, static_cast<uint8_t>(80 + g.phase), 255});
            picture.frameRect(box);
            g.phase = std::min(g.phase + 8, ExportChoice::kFullPhase);
            picture.setFontColor(kSelectedText);
        } else {
            picture.setFontColor(kPlainText);
        }
        picture.drawString(g.labels[i], box, kCenterText);
    }
}

void OVExportPage::drawEntry(CDrawContext& picture)
{
    picture.setFillColor(kEntryPanel);
    picture.fillRect(kEntryPanelRect);
    picture.setFrameColor(kPlainText);
    picture.setLineWidth(1);
    picture.frameRect(kEntryPanelRect);
    picture.setFont(kNormalFont, kBoldFace);
    picture.setFontColor(kPlainText);
    picture.drawString("No file dialog found. File name:", kEntryCaption, kLeftText);

    // A path wider than the field shows its end, where the typing happens.
    picture.setFont(kNormalFont, kNormalFace);
    const bool tooWide = picture.getStringWidth(entry->getText()) > kEntryField.width() - 4;
    entry->setHoriAlign(tooWide ? kRightText : kLeftText);
    picture.setClipRect(kEntryField);
    entry->draw(&picture);
    picture.resetClipRect();

    picture.setFont(kNormalFont, kBoldFace);
    picture.setFontColor(kSelectedText);
    picture.setFrameColor(kPlainText);
    for (const auto& [box, label] : {std::pair{kOkBox, "OK"}, std::pair{kCancelBox, "Cancel"}}) {
        picture.frameRect(box);
        picture.drawString(label, box, kCenterText);
    }
}

void OVExportPage::drawErrorBanner(CDrawContext& picture, EditorPort& port)
{
    const int ticks = port.errorBannerTicks();
    if (!port.exportFailed() || ticks <= 0)
        return;
    port.setErrorBannerTicks(ticks - 1);
    if (ticks % kBannerBlink == 0)
        return; // a short flicker every 16 draws
    const CRect banner(1, 173, 413, 197);
    picture.setFillColor(kBannerFill);
    picture.fillRect(banner);
    picture.setFont(kNormalFontBig, kBoldFace);
    picture.setFontColor(kWhiteCColor);
    picture.drawString(kErrorText, banner, kCenterText);
}

// ---- Mouse and keys --------------------------------------------------------------

OVExportPage::Click OVExportPage::mouseDown(CPoint where, int buttons)
{
    if ((buttons & (kLButton | kRButton)) == 0)
        return kIgnored;
    // The open dialog was asked for this format; a second SAVE would open
    // a second dialog.
    if (dialogOpen)
        return kIgnored;
    if (entryOpen)
        return entryClick(where);
    Click result = kIgnored;
    for (ExportChoice& g : groups) {
        const int hit = g.optionAt(where);
        if (hit < 0)
            continue;
        g.selected = hit;
        g.phase = 0;
        result = kRedraw;
    }
    if (groups[kSaveGroup].selected >= 0)
        result = save();
    return result;
}

OVExportPage::Click OVExportPage::onKeyDown(const CKeyCode& key)
{
    if (!entryOpen)
        return kIgnored;
    if (key.virt == kKeyReturn)
        return confirmEntry();
    if (key.virt == kKeyEscape) {
        entryOpen = false;
        return kRedraw;
    }
    entry->startEditing();
    return entry->onKeyDown(key) ? kRedraw : kIgnored;
}

OVExportPage::Click OVExportPage::save()
{
    // Never left highlighted, whatever the dialog answers.
    groups[kSaveGroup].selected = -1;
    chosenRate = -1.0f;

    const int format = std::clamp(groups[kFormatGroup].selected, 0, 2);
    FileRequest request;
    request.save = true;
    request.title = kDialogTitle;
    request.initialPath = initialPath;
    request.typeName = kFileTypes[format].name;
    request.macType = kFileTypes[format].macType;
    request.dosType = kFileTypes[format].dosType;

    std::string path;
    switch (listener.selectExportFile(request, path, *this)) {
    case FileAnswer::kChosen:
        return path.empty() ? kRedraw : startExport(path);
    case FileAnswer::kNoDialog:
        openEntry();
        return kRedraw;
    case FileAnswer::kPending: dialogOpen = true; return kRedraw;
    case FileAnswer::kCancelled:
        break;
    }
    return kRedraw;
}

OVExportPage::Click OVExportPage::fileChosen(const std::string& path)
{
    if (!dialogOpen)
        return kIgnored; // no dialog of this page is open
    dialogOpen = false;
    return path.empty() ? kRedraw : startExport(path);
}

OVExportPage::Click OVExportPage::fileCancelled()
{
    if (!dialogOpen)
        return kIgnored;
    dialogOpen = false;
    return kRedraw;
}

void OVExportPage::openEntry()
{
    entryOpen = true;
    entry->setText(initialPath.c_str());
    entry->startEditing();
}

OVExportPage::Click OVExportPage::entryClick(CPoint where)
{
    if (strictlyInside(kOkBox, where))
        return confirmEntry();
    if (strictlyInside(kCancelBox, where)) {
        entryOpen = false;
        return kRedraw;
    }
    if (strictlyInside(kEntryField, where)) {
        entry->startEditing();
        return kRedraw;
    }
    return kIgnored; // the entry keeps the page until OK or Cancel
}

OVExportPage::Click OVExportPage::confirmEntry()
{
    std::string path = entry->getText();
    // Nothing to name a file with yet: the entry stays open.
    if (path.empty() || path.back() == '/')
        return kIgnored;
    const char* home = std::getenv("HOME");
    if (path.rfind("~/", 0) == 0 && home != nullptr)
        path = home + path.substr(1);
    else if (path.front() != '/')
        // A bare name goes where the offered path points, not into the
        // host's working folder.
        path = initialPath.substr(0, initialPath.rfind('/') + 1) + path;
    entryOpen = false;
    return startExport(path);
}

OVExportPage::Click OVExportPage::startExport(const std::string& path)
{
    const int rate = std::clamp(groups[kRateGroup].selected, 0, 2);
    chosenRate = kRates[rate];
    ExportRequest request;
    request.format = std::clamp(groups[kFormatGroup].selected, 0, 2);
    request.sampleRate = chosenRate;
    request.normalise = groups[kNormaliseGroup].selected == 1 ? 1 : 0;
    request.path = path;
    listener.exportRequested(request);
    port.setExportCountdown(1);
    return kExportStarted;
}

} // namespace ovinta
