#include "platform/gdi/gdi_objects.h"

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <vector>

namespace platform::gdi {

namespace {

constexpr int TABLE_SIZE = 16384; // slot 0 is never used
constexpr int STOCK_COUNT = 18;
constexpr int KIND_SHIFT = 16;
constexpr int GENERATION_SHIFT = 20;
// Bitmaps are refused beyond these sizes rather than risking overflowing arithmetic.
constexpr int MAX_SIDE = 1 << 20;
constexpr std::int64_t MAX_BYTES = std::int64_t{1} << 31;

struct Slot {
    std::uint32_t generation = 1;
    std::shared_ptr<GdiObject> object;
};

struct Table {
    std::mutex mutex;
    std::vector<Slot> slots = std::vector<Slot>(TABLE_SIZE);
    std::vector<std::uint16_t> freeSlots;
    std::array<HGDIOBJ, STOCK_COUNT> stock{};
    HGDIOBJ defaultBitmap = nullptr;
};

HGDIOBJ MakeHandle(std::uint32_t index, ObjectKind kind, std::uint32_t generation) {
    const std::uintptr_t value = (std::uintptr_t{generation} << GENERATION_SHIFT) |
                                 (static_cast<std::uintptr_t>(kind) << KIND_SHIFT) | index;
    return reinterpret_cast<HGDIOBJ>(value);
}

// Adds an object while the table is held or still being built.
HGDIOBJ AddTo(Table& table, std::shared_ptr<GdiObject> object) {
    if (table.freeSlots.empty()) {
        return nullptr;
    }
    const std::uint16_t index = table.freeSlots.back();
    table.freeSlots.pop_back();
    Slot& slot = table.slots[index];
    const ObjectKind kind = object->kind;
    slot.object = std::move(object);
    return MakeHandle(index, kind, slot.generation);
}

std::shared_ptr<Brush> StockBrush(COLORREF color, bool hollow) {
    auto brush = std::make_shared<Brush>();
    brush->stock = true;
    brush->color = color;
    brush->hollow = hollow;
    return brush;
}

std::shared_ptr<Font> StockFont(LONG height, LONG width, LONG weight, BYTE charSet, BYTE quality,
                                BYTE pitchAndFamily, const wchar_t* face) {
    auto font = std::make_shared<Font>();
    font->stock = true;
    LOGFONTW& lf = font->logFont;
    lf.lfHeight = height;
    lf.lfWidth = width;
    lf.lfWeight = weight;
    lf.lfCharSet = charSet;
    lf.lfQuality = quality;
    lf.lfPitchAndFamily = pitchAndFamily;
    std::wcsncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    return font;
}

Table* BuildTable() {
    auto* table = new Table;
    for (int i = TABLE_SIZE - 1; i >= 1; --i) {
        table->freeSlots.push_back(static_cast<std::uint16_t>(i));
    }
    auto& stock = table->stock;
    stock[WHITE_BRUSH] = AddTo(*table, StockBrush(RGB(255, 255, 255), false));
    stock[LTGRAY_BRUSH] = AddTo(*table, StockBrush(RGB(192, 192, 192), false));
    stock[GRAY_BRUSH] = AddTo(*table, StockBrush(RGB(128, 128, 128), false));
    stock[DKGRAY_BRUSH] = AddTo(*table, StockBrush(RGB(64, 64, 64), false));
    stock[BLACK_BRUSH] = AddTo(*table, StockBrush(RGB(0, 0, 0), false));
    stock[NULL_BRUSH] = AddTo(*table, StockBrush(0, true));
    // GNU Unifont has exactly the 8 × 16 and 16 × 16 cells of a console font.
    stock[OEM_FIXED_FONT] =
        AddTo(*table, StockFont(16, 8, FW_NORMAL, OEM_CHARSET, NONANTIALIASED_QUALITY,
                                FIXED_PITCH | FF_MODERN, L"Unifont"));
    stock[ANSI_FIXED_FONT] = AddTo(*table, StockFont(16, 0, FW_NORMAL, ANSI_CHARSET, 0,
                                                     FIXED_PITCH | FF_MODERN, L"DejaVu Sans Mono"));
    stock[ANSI_VAR_FONT] = AddTo(*table, StockFont(16, 0, FW_NORMAL, ANSI_CHARSET, 0,
                                                   VARIABLE_PITCH | FF_SWISS, L"DejaVu Sans"));
    stock[SYSTEM_FONT] = AddTo(*table, StockFont(16, 0, FW_BOLD, ANSI_CHARSET, 0,
                                                 VARIABLE_PITCH | FF_SWISS, L"DejaVu Sans"));
    stock[DEVICE_DEFAULT_FONT] = stock[SYSTEM_FONT];
    stock[SYSTEM_FIXED_FONT] =
        AddTo(*table, StockFont(16, 0, FW_NORMAL, ANSI_CHARSET, 0, FIXED_PITCH | FF_MODERN,
                                L"DejaVu Sans Mono"));
    stock[DEFAULT_GUI_FONT] = AddTo(*table, StockFont(-11, 0, FW_NORMAL, DEFAULT_CHARSET, 0,
                                                      VARIABLE_PITCH | FF_SWISS, L"DejaVu Sans"));
    std::shared_ptr<Bitmap> one = NewBitmap(1, 1, 32, true);
    one->stock = true;
    table->defaultBitmap = AddTo(*table, std::move(one));
    return table;
}

// Built on first use and never destroyed, so handles stay valid until the process ends.
Table& GetTable() {
    static Table* table = BuildTable();
    return *table;
}

} // namespace

void AlignedFree::operator()(std::uint8_t* p) const {
    std::free(p);
}

PixelBuffer Bitmap::Pixels() const {
    PixelBuffer b;
    b.width = width;
    b.height = height;
    b.bitsPerPixel = bitsPerPixel;
    b.rowStep = topDown ? stride : -stride;
    b.top = topDown ? bits.get() : bits.get() + (height - 1) * stride;
    b.colors = colors.data();
    b.colorCount = bitsPerPixel == 8 ? colorCount : 0;
    return b;
}

std::shared_ptr<Bitmap> NewBitmap(int width, int height, int bitsPerPixel, bool topDown) {
    if (width <= 0 || height <= 0 || width > MAX_SIDE || height > MAX_SIDE ||
        (bitsPerPixel != 8 && bitsPerPixel != 24 && bitsPerPixel != 32)) {
        return nullptr;
    }
    const std::int64_t stride = ((std::int64_t{width} * bitsPerPixel + 31) / 32) * 4;
    const std::int64_t bytes = stride * height;
    if (bytes > MAX_BYTES) {
        return nullptr;
    }
    const auto rounded = static_cast<std::size_t>((bytes + 63) / 64 * 64);
    auto* memory = static_cast<std::uint8_t*>(std::aligned_alloc(64, rounded));
    if (!memory) {
        return nullptr;
    }
    std::memset(memory, 0, rounded);
    auto bitmap = std::make_shared<Bitmap>();
    bitmap->bits.reset(memory);
    bitmap->width = width;
    bitmap->height = height;
    bitmap->bitsPerPixel = bitsPerPixel;
    bitmap->topDown = topDown;
    bitmap->stride = static_cast<std::ptrdiff_t>(stride);
    bitmap->colorCount = bitsPerPixel == 8 ? 256 : 0;
    return bitmap;
}

std::mutex& TableMutex() {
    return GetTable().mutex;
}

HGDIOBJ AddObject(std::shared_ptr<GdiObject> object) {
    Table& table = GetTable();
    std::lock_guard lock(table.mutex);
    return AddTo(table, std::move(object));
}

std::shared_ptr<GdiObject> FindObjectLocked(HGDIOBJ handle) {
    const auto value = reinterpret_cast<std::uintptr_t>(handle);
    const std::uintptr_t index = value & 0xFFFF;
    if (index == 0 || index >= TABLE_SIZE) {
        return nullptr;
    }
    const Slot& slot = GetTable().slots[index];
    if (!slot.object || (value >> GENERATION_SHIFT) != slot.generation ||
        ((value >> KIND_SHIFT) & 0xF) != static_cast<std::uintptr_t>(slot.object->kind)) {
        return nullptr;
    }
    return slot.object;
}

std::shared_ptr<GdiObject> FindObject(HGDIOBJ handle) {
    std::lock_guard lock(TableMutex());
    return FindObjectLocked(handle);
}

void RemoveObjectLocked(HGDIOBJ handle) {
    if (!FindObjectLocked(handle)) {
        return;
    }
    Table& table = GetTable();
    const auto index =
        static_cast<std::uint16_t>(reinterpret_cast<std::uintptr_t>(handle) & 0xFFFF);
    Slot& slot = table.slots[index];
    slot.object.reset();
    slot.generation = slot.generation == 0xFFFFFFFFu ? 1 : slot.generation + 1;
    table.freeSlots.push_back(index);
}

HGDIOBJ StockObject(int index) {
    if (index < 0 || index >= STOCK_COUNT) {
        return nullptr;
    }
    return GetTable().stock[index];
}

HGDIOBJ DefaultBitmap() {
    return GetTable().defaultBitmap;
}

bool ReadDcState(HDC hdc, DcState* state) {
    std::lock_guard lock(TableMutex());
    std::shared_ptr<Dc> dc = FindLocked<Dc>(hdc, ObjectKind::DC);
    if (!dc) {
        return false;
    }
    state->kind = dc->dcKind;
    state->hwnd = dc->hwnd;
    state->bitmap = dc->bitmap;
    state->brush = dc->brush;
    state->font = dc->font;
    state->textColor = dc->textColor;
    state->bkColor = dc->bkColor;
    state->bkMode = dc->bkMode;
    state->stretchMode = dc->stretchMode;
    return true;
}

} // namespace platform::gdi
