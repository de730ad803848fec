// The picture decoder on Windows: the imaging component (WIC) decodes JPEG, PNG and GIF into
// premultiplied 32-bit pixels.
#include <windows.h>
#include <wincodec.h>

#include "ComPtr_win.h"
#include "ImageDecoder.h"

namespace {

class WicImageDecoder : public ImageDecoder {
  public:
    // The creating thread decodes; it joins COM here unless it has already (the player's UI
    // thread has), and leaves with the decoder.
    WicImageDecoder() {
        const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        joined_ = hr == S_OK || hr == S_FALSE;
    }
    ~WicImageDecoder() override {
        factory_.Reset();
        if (joined_) CoUninitialize();
    }
    WicImageDecoder(const WicImageDecoder&) = delete;
    WicImageDecoder& operator=(const WicImageDecoder&) = delete;

    bool Decode(const std::uint8_t* data, std::size_t size, std::size_t maxPixels,
                SwfBitmap& out) override {
        out = {};
        if (SniffPicture(data, size) == PictureFormat::Unknown || size > 0x7FFFFFFF) return false;
        if (!factory_ &&
            FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_PPV_ARGS(factory_.Put()))))
            return false;
        ComPtr<IWICStream> stream;
        if (FAILED(factory_->CreateStream(stream.Put())) ||
            FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(data), static_cast<DWORD>(size))))
            return false;
        ComPtr<IWICBitmapDecoder> decoder;
        if (FAILED(factory_->CreateDecoderFromStream(
                stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand, decoder.Put())))
            return false;
        ComPtr<IWICBitmapFrameDecode> frame;
        if (FAILED(decoder->GetFrame(0, frame.Put()))) return false;
        UINT width = 0, height = 0;
        if (FAILED(frame->GetSize(&width, &height)) || width == 0 || height == 0 ||
            width > maxPixels / height)
            return false;
        ComPtr<IWICBitmapSource> pixels;
        if (FAILED(
                WICConvertBitmapSource(GUID_WICPixelFormat32bppPBGRA, frame.Get(), pixels.Put())))
            return false;
        out.width = static_cast<int>(width);
        out.height = static_cast<int>(height);
        out.pixels.resize(static_cast<std::size_t>(width) * height);
        // Premultiplied BGRA bytes are 0xAARRGGBB words on a little-endian machine.
        if (FAILED(pixels->CopyPixels(nullptr, width * 4, static_cast<UINT>(out.pixels.size() * 4),
                                      reinterpret_cast<BYTE*>(out.pixels.data())))) {
            out = {};
            return false;
        }
        return true;
    }

  private:
    bool joined_ = false;
    ComPtr<IWICImagingFactory> factory_;
};

}  // namespace

std::unique_ptr<ImageDecoder> MakeImageDecoder() {
    return std::make_unique<WicImageDecoder>();
}
