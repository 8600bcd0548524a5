#include "screenshot.h"

#include <wincodec.h>
#include "activex/raii.h"

namespace trevanil_host {
namespace {

struct ScreenDc {
    HDC dc = GetDC(nullptr);
    ~ScreenDc() { if (dc) ReleaseDC(nullptr, dc); }
};
struct MemoryDc {
    HDC dc;
    explicit MemoryDc(HDC like) : dc(CreateCompatibleDC(like)) {}
    ~MemoryDc() { if (dc) DeleteDC(dc); }
};
struct Bitmap {
    HBITMAP bitmap = nullptr;
    ~Bitmap() { if (bitmap) DeleteObject(bitmap); }
};
struct Selection {
    HDC dc;
    HGDIOBJ previous;
    Selection(HDC d, HGDIOBJ object) : dc(d), previous(SelectObject(d, object)) {}
    ~Selection() { SelectObject(dc, previous); }
};

// Encodes 24-bit BGR rows as PNG through the system's imaging component (WIC).
bool SaveBgrPng(const std::wstring& path, UINT width, UINT height, UINT stride, const BYTE* pixels)
{
    activex::ComPtr<IWICImagingFactory> factory;
    activex::ComPtr<IWICStream> stream;
    activex::ComPtr<IWICBitmapEncoder> encoder;
    activex::ComPtr<IWICBitmapFrameEncode> frame;
    activex::ComPtr<IPropertyBag2> frameOptions;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                factory.put_void())) ||
        FAILED(factory->CreateStream(stream.put())) ||
        FAILED(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE)) ||
        FAILED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.put())) ||
        FAILED(encoder->Initialize(stream.get(), WICBitmapEncoderNoCache)) ||
        FAILED(encoder->CreateNewFrame(frame.put(), frameOptions.put())) ||
        FAILED(frame->Initialize(frameOptions.get())) || FAILED(frame->SetSize(width, height)))
        return false;
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    // The encoder may only offer another layout; the pixels are in this one.
    if (FAILED(frame->SetPixelFormat(&format)) || !IsEqualGUID(format, GUID_WICPixelFormat24bppBGR)) return false;
    return SUCCEEDED(frame->WritePixels(height, stride, stride * height, const_cast<BYTE*>(pixels))) &&
           SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
}

void PumpPaint()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

} // namespace

bool SaveWindowPng(HWND window, const std::wstring& path)
{
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpPaint();
    GdiFlush();
    RECT rect{};
    if (!GetWindowRect(window, &rect)) return false;
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return false;

    ScreenDc screen;
    MemoryDc memory(screen.dc);
    if (!screen.dc || !memory.dc) return false;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    Bitmap bitmap;
    bitmap.bitmap = CreateDIBSection(memory.dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap.bitmap || !bits) return false;
    {
        Selection selected(memory.dc, bitmap.bitmap);
        if (!BitBlt(memory.dc, 0, 0, width, height, screen.dc, rect.left, rect.top, SRCCOPY)) return false;
    }
    GdiFlush();
    SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);

    // DIB rows are BGR, top row first (negative height), padded to four bytes.
    const UINT stride = (static_cast<UINT>(width) * 3 + 3) & ~3u;
    if (SaveBgrPng(path, static_cast<UINT>(width), static_cast<UINT>(height), stride, static_cast<const BYTE*>(bits)))
        return true;
    DeleteFileW(path.c_str());  // no half-written picture
    return false;
}

} // namespace trevanil_host
