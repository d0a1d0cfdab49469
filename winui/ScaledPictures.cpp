#include "ScaledPictures.h"

#include "ResourceIds.h"

#include "BannerRenderings.h"

#include <wincodec.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <tuple>

namespace relicwright::winui {

static_assert(IDR_BANNER_500 - IDR_BANNER_100 + 1 == kBannerRenderings.size());

namespace {

// Functions of Windows 10; looked up, so that the program still starts on older systems.
template <typename Function> Function user32(const char* name) {
    const FARPROC found = GetProcAddress(GetModuleHandleW(L"user32.dll"), name);
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

unsigned systemDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<unsigned>(dpi) : 96u;
}

// A system metric as Windows gives it for a screen of `dpi`.
int metricAt(int index, unsigned dpi) {
    using ForDpi = int(WINAPI*)(int, UINT);
    static const auto forDpi = user32<ForDpi>("GetSystemMetricsForDpi");
    if (forDpi != nullptr) {
        return forDpi(index, dpi);
    }
    return MulDiv(GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(systemDpi()));
}

HICON programIcon(int size) {
    return static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON, size, size, 0));
}

// The first child of a dialog that is a static control of the given kind.
HWND staticChild(HWND dialog, LONG_PTR kind) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[16] = {};
        GetClassNameW(child, name, 16);
        if (lstrcmpiW(name, L"Static") == 0 && (GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK) == kind) {
            return child;
        }
    }
    return nullptr;
}

template <typename Interface> struct Com {
    Interface* p = nullptr;
    Com() = default;
    Com(const Com&) = delete;
    Com& operator=(const Com&) = delete;
    ~Com() {
        if (p != nullptr) {
            p->Release();
        }
    }
    Interface* operator->() const { return p; }
};

// A PNG of the program's resources, decoded by the system's imaging component.
Pixels decodePng(int id) {
    Pixels picture;
    HRSRC resource = FindResourceW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));
    HGLOBAL loaded = resource != nullptr ? LoadResource(GetModuleHandleW(nullptr), resource) : nullptr;
    auto* data = static_cast<BYTE*>(loaded != nullptr ? LockResource(loaded) : nullptr);
    if (data == nullptr) {
        return picture;
    }
    // The window's thread may already be in either apartment; WIC works in both.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    {
        Com<IWICImagingFactory> factory;
        Com<IWICStream> stream;
        Com<IWICBitmapDecoder> decoder;
        Com<IWICBitmapFrameDecode> frame;
        Com<IWICFormatConverter> converter;
        UINT width = 0, height = 0;
        if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                       IID_IWICImagingFactory, reinterpret_cast<void**>(&factory.p))) &&
            SUCCEEDED(factory->CreateStream(&stream.p)) &&
            SUCCEEDED(
                stream->InitializeFromMemory(data, SizeofResource(GetModuleHandleW(nullptr), resource))) &&
            SUCCEEDED(factory->CreateDecoderFromStream(stream.p, nullptr, WICDecodeMetadataCacheOnDemand,
                                                       &decoder.p)) &&
            SUCCEEDED(decoder->GetFrame(0, &frame.p)) &&
            SUCCEEDED(factory->CreateFormatConverter(&converter.p)) &&
            SUCCEEDED(converter->Initialize(frame.p, GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone,
                                            nullptr, 0.0, WICBitmapPaletteTypeCustom)) &&
            SUCCEEDED(converter->GetSize(&width, &height))) {
            std::vector<std::uint8_t> bytes(std::size_t{width} * height * 4);
            if (SUCCEEDED(converter->CopyPixels(nullptr, width * 4, static_cast<UINT>(bytes.size()),
                                                bytes.data()))) {
                picture = {static_cast<int>(width), static_cast<int>(height), std::move(bytes)};
            }
        }
    }
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    return picture;
}

// Which source samples each of `to` new samples averages, and with what weight, from `from` samples.
struct Span {
    int first = 0;
    std::vector<double> weights;
};

std::vector<Span> spans(int from, int to) {
    std::vector<Span> result(static_cast<std::size_t>(to));
    const double step = static_cast<double>(from) / to;
    for (int out = 0; out < to; ++out) {
        const double start = out * step, end = std::min(start + step, static_cast<double>(from));
        Span& span = result[static_cast<std::size_t>(out)];
        span.first = static_cast<int>(start);
        for (int in = span.first; in < end; ++in) {
            span.weights.push_back((std::min(end, in + 1.0) - std::max(start, static_cast<double>(in))) /
                                   step);
        }
    }
    return result;
}

HBITMAP bitmapOf(const Pixels& picture) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), picture.width, -picture.height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr) {
        return nullptr;
    }
    // 24 bits a pixel: a static control shows such a bitmap as it is, where it would copy one with alpha.
    const std::size_t stride = (static_cast<std::size_t>(picture.width) * 3 + 3) & ~std::size_t{3};
    auto* rows = static_cast<std::uint8_t*>(bits);
    for (std::size_t y = 0; y < static_cast<std::size_t>(picture.height); ++y) {
        for (std::size_t x = 0; x < static_cast<std::size_t>(picture.width); ++x) {
            const std::uint8_t* from = &picture.bgrx[(y * static_cast<std::size_t>(picture.width) + x) * 4];
            std::copy(from, from + 3, rows + y * stride + x * 3);
        }
    }
    return bitmap;
}

} // namespace

unsigned dpiOf(HWND window) {
    using ForWindow = UINT(WINAPI*)(HWND);
    static const auto forWindow = user32<ForWindow>("GetDpiForWindow");
    if (forWindow != nullptr && window != nullptr) {
        if (const UINT dpi = forWindow(window); dpi != 0) {
            return dpi;
        }
    }
    return systemDpi();
}

Pixels shrink(const Pixels& picture, int width, int height) {
    width = std::clamp(width, 1, picture.width);
    height = std::clamp(height, 1, picture.height);
    if (width == picture.width && height == picture.height) {
        return picture;
    }
    const auto fromWidth = static_cast<std::size_t>(picture.width),
               fromHeight = static_cast<std::size_t>(picture.height);
    const auto toWidth = static_cast<std::size_t>(width), toHeight = static_cast<std::size_t>(height);
    // Across, then down; blue, green and red each.
    const std::vector<Span> across = spans(picture.width, width), down = spans(picture.height, height);
    std::vector<double> half(toWidth * fromHeight * 3);
    for (std::size_t y = 0; y < fromHeight; ++y) {
        for (std::size_t x = 0; x < toWidth; ++x) {
            const Span& span = across[x];
            for (std::size_t i = 0; i < span.weights.size(); ++i) {
                const std::uint8_t* from =
                    &picture.bgrx[(y * fromWidth + static_cast<std::size_t>(span.first) + i) * 4];
                for (std::size_t c = 0; c < 3; ++c) {
                    half[(y * toWidth + x) * 3 + c] += span.weights[i] * from[c];
                }
            }
        }
    }
    Pixels result{width, height, std::vector<std::uint8_t>(toWidth * toHeight * 4)};
    for (std::size_t y = 0; y < toHeight; ++y) {
        const Span& span = down[y];
        for (std::size_t x = 0; x < toWidth; ++x) {
            for (std::size_t c = 0; c < 3; ++c) {
                double sum = 0;
                for (std::size_t i = 0; i < span.weights.size(); ++i) {
                    sum += span.weights[i] *
                           half[((static_cast<std::size_t>(span.first) + i) * toWidth + x) * 3 + c];
                }
                result.bgrx[(y * toWidth + x) * 4 + c] =
                    static_cast<std::uint8_t>(std::clamp(std::lround(sum), 0L, 255L));
            }
        }
    }
    return result;
}

ScaledPictures::ScaledPictures(HWND dialog, bool windowIcons)
    : dialog_(dialog), windowIcons_(windowIcons), banner_(staticChild(dialog, SS_BITMAP)),
      iconControl_(staticChild(dialog, SS_ICON)) {
    // The font the dialog was laid out with, and its size in points, to measure it at other scales.
    if (auto* font = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
        font != nullptr && GetObjectW(font, sizeof font_, &font_) == sizeof font_) {
        fontPoints_ = MulDiv(std::abs(font_.lfHeight), 72, static_cast<int>(dpiOf(dialog)));
    } else {
        font_.lfHeight = 0;
    }
}

ScaledPictures::~ScaledPictures() {
    if (banner_ != nullptr && ownBanner_ != nullptr) {
        SendMessageW(banner_, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(madeBanner_));
        DeleteObject(ownBanner_);
    }
    if (iconControl_ != nullptr && ownIcon_ != nullptr) {
        SendMessageW(iconControl_, STM_SETICON, reinterpret_cast<WPARAM>(madeIcon_), 0);
        DestroyIcon(ownIcon_);
    }
    for (HICON icon : {bigIcon_, smallIcon_}) {
        if (icon != nullptr) {
            DestroyIcon(icon);
        }
    }
}

int ScaledPictures::baseUnitX(unsigned dpi) const {
    if (font_.lfHeight == 0) {
        return 0;
    }
    LOGFONTW font = font_;
    font.lfHeight = -MulDiv(fontPoints_, static_cast<int>(dpi), 72);
    HFONT made = CreateFontIndirectW(&font);
    HDC screen = GetDC(nullptr);
    const HGDIOBJ previous = SelectObject(screen, made);
    // As the dialog manager measures its font: the average width of the 52 letters, rounded.
    SIZE size{};
    const bool measured =
        GetTextExtentPoint32W(screen, L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &size);
    SelectObject(screen, previous);
    ReleaseDC(nullptr, screen);
    DeleteObject(made);
    return measured ? (size.cx / 26 + 1) / 2 : 0;
}

double ScaledPictures::bannerScale(unsigned dpi) const {
    const int now = baseUnitX(dpi), at96 = baseUnitX(96);
    if (now <= 0 || at96 <= 0) {
        return dpi / 96.0;
    }
    return static_cast<double>(now) / at96;
}

void ScaledPictures::showFor(unsigned dpi) {
    if (banner_ != nullptr) {
        const double scale = bannerScale(dpi);
        const BannerRendering& rendering = bannerRenderingFor(scale);
        const auto index = static_cast<int>(std::distance(kBannerRenderings.data(), &rendering));
        const Pixels picture =
            shrink(decodePng(IDR_BANNER_100 + index), static_cast<int>(bannerWidthAt(scale)),
                   static_cast<int>(bannerHeightAt(scale)));
        if (HBITMAP bitmap = picture.width > 0 ? bitmapOf(picture) : nullptr) {
            const auto previous = reinterpret_cast<HGDIOBJ>(
                SendMessageW(banner_, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
            if (ownBanner_ == nullptr) {
                madeBanner_ = previous;
            } else {
                DeleteObject(ownBanner_);
            }
            ownBanner_ = bitmap;
        }
    }
    if (iconControl_ != nullptr) {
        if (HICON icon = programIcon(metricAt(SM_CXICON, dpi))) {
            const auto previous = reinterpret_cast<HICON>(
                SendMessageW(iconControl_, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0));
            if (ownIcon_ == nullptr) {
                madeIcon_ = previous;
            } else {
                DestroyIcon(ownIcon_);
            }
            ownIcon_ = icon;
        }
    }
    if (windowIcons_) {
        for (auto [which, metric, held] :
             {std::tuple{ICON_BIG, SM_CXICON, &bigIcon_}, std::tuple{ICON_SMALL, SM_CXSMICON, &smallIcon_}}) {
            if (HICON icon = programIcon(metricAt(metric, dpi))) {
                SendMessageW(dialog_, WM_SETICON, static_cast<WPARAM>(which), reinterpret_cast<LPARAM>(icon));
                if (*held != nullptr) {
                    DestroyIcon(*held);
                }
                *held = icon;
            }
        }
    }
}

} // namespace relicwright::winui
