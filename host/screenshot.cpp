#include "screenshot.h"

#include <wincodec.h>
#include "activex/raii.h"
#include "restart_wait.h"

namespace trevanil_host {
namespace {

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

} // namespace

bool SaveWindowPng(HWND window, const std::wstring& path)
{
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    ServeMessages();  // the paint messages
    GdiFlush();
    RECT rect{};
    if (!GetWindowRect(window, &rect)) return false;
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return false;

    const activex::WindowDc screen(nullptr);
    const activex::UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
    if (!screen || !memory) return false;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const activex::UniqueBitmap bitmap(CreateDIBSection(memory.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) return false;
    {
        const activex::SelectedObject selected(memory.get(), bitmap.get());
        if (!BitBlt(memory.get(), 0, 0, width, height, screen.get(), rect.left, rect.top, SRCCOPY)) return false;
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
