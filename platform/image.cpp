// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/image.h"

#include <png.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csetjmp>
#include <cstring>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <jpeglib.h>

#include "platform/embedded_files.h"
#include "platform/render_internal.h"
#include "platform/stream.h"

struct ImageData {
    int width = 0;    // of one frame
    int height = 0;
    int frames = 1;
    int flags = 0;
    float handle_x = 0;
    float handle_y = 0;
    // The strip of frames as loaded; dropped once the texture holds it.
    Pixels strip;
    // One byte per pixel of the strip: 1 where the pixel is not transparent.
    std::vector<std::uint8_t> mask;
    SDL_Texture* texture = nullptr;
    // Drawing in software: the strip as 0xAARRGGBB, blitted by our own loops.
    std::vector<std::uint32_t> argb;
    bool target = false;
    bool opaque = false;   // every pixel fully opaque: drawn at alpha 1 it needs no blending
    bool soft = false;     // a glow with no hard edge: no neighbouring pixels differ much
};

namespace {

// Images are loaded once and live for the run; a deque keeps their addresses stable.
std::deque<ImageData>& image_store()
{
    static std::deque<ImageData> store;
    return store;
}

bool decode_png(std::span<const std::uint8_t> bytes, Pixels& out, std::string& error)
{
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, bytes.data(), bytes.size())) {
        error = png.message;
        return false;
    }
    png.format = PNG_FORMAT_RGBA;
    if (png.width == 0 || png.height == 0 || png.width > 8192 || png.height > 8192) {
        png_image_free(&png);
        error = "unreasonable picture size";
        return false;
    }
    out.width = static_cast<int>(png.width);
    out.height = static_cast<int>(png.height);
    out.rgba.assign(PNG_IMAGE_SIZE(png), 0);
    if (!png_image_finish_read(&png, nullptr, out.rgba.data(), 0, nullptr)) {
        error = png.message;
        return false;
    }
    return true;
}

struct JpegErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void jpeg_error_exit(j_common_ptr info)
{
    auto* manager = reinterpret_cast<JpegErrorManager*>(info->err);
    (*info->err->format_message)(info, manager->message);
    std::longjmp(manager->jump, 1);
}

bool decode_jpeg(std::span<const std::uint8_t> bytes, Pixels& out, std::string& error)
{
    jpeg_decompress_struct info{};
    JpegErrorManager manager{};
    info.err = jpeg_std_error(&manager.base);
    manager.base.error_exit = jpeg_error_exit;
    std::vector<std::uint8_t> row;
    if (setjmp(manager.jump)) {
        jpeg_destroy_decompress(&info);
        error = manager.message;
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    if (info.output_width > 8192 || info.output_height > 8192 || info.output_components != 3) {
        jpeg_destroy_decompress(&info);
        error = "unreasonable picture size";
        return false;
    }
    out.width = static_cast<int>(info.output_width);
    out.height = static_cast<int>(info.output_height);
    out.rgba.assign(static_cast<std::size_t>(out.width) * out.height * 4, 255);
    row.resize(static_cast<std::size_t>(out.width) * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW rows[1] = {row.data()};
        const auto y = info.output_scanline;
        jpeg_read_scanlines(&info, rows, 1);
        std::uint8_t* dst = &out.rgba[static_cast<std::size_t>(y) * out.width * 4];
        for (int x = 0; x < out.width; ++x) {
            dst[x * 4 + 0] = row[x * 3 + 0];
            dst[x * 4 + 1] = row[x * 3 + 1];
            dst[x * 4 + 2] = row[x * 3 + 2];
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

void apply_mask_colour(Pixels& pixels)
{
    for (std::size_t i = 0; i + 3 < pixels.rgba.size(); i += 4) {
        if (pixels.rgba[i] == 255 && pixels.rgba[i + 1] == 0 && pixels.rgba[i + 2] == 255)
            pixels.rgba[i + 3] = 0;
    }
}

// The cells first .. first + count - 1 of a horizontal strip, as a new strip.
Pixels cut_cells(const Pixels& source, int cell_width, int cell_height, int first, int count)
{
    Pixels strip;
    strip.width = cell_width * count;
    strip.height = cell_height;
    strip.rgba.assign(static_cast<std::size_t>(strip.width) * strip.height * 4, 0);
    for (int y = 0; y < cell_height && y < source.height; ++y) {
        for (int x = 0; x < strip.width; ++x) {
            const int sx = first * cell_width + x;
            if (sx >= source.width) break;
            const auto* src = &source.rgba[(static_cast<std::size_t>(y) * source.width + sx) * 4];
            std::copy(src, src + 4, &strip.rgba[(static_cast<std::size_t>(y) * strip.width + x) * 4]);
        }
    }
    return strip;
}

// Glows and sparks fade smoothly: no two neighbouring pixels differ by more than a small step
// in alpha or in colour weighted by alpha (what is seen). Such a picture looks the same sampled
// at its nearest pixel as mixed from four, and costs a third as much to draw turned or scaled.
// A ball or a brick has a hard rim (steps of 200 and more) and keeps the bilinear mix.
bool is_soft(const Pixels& strip)
{
    constexpr int step = 72;
    if (strip.width < 8 || strip.height < 8) return false;
    const auto at = [&](int x, int y, int c) {
        const std::uint8_t* p = &strip.rgba[(std::size_t(y) * strip.width + x) * 4];
        return c == 3 ? int(p[3]) : int(p[c]) * p[3] / 255;
    };
    for (int y = 0; y < strip.height; ++y)
        for (int x = 0; x < strip.width; ++x)
            for (int c = 0; c < 4; ++c) {
                if (x + 1 < strip.width && std::abs(at(x, y, c) - at(x + 1, y, c)) > step) return false;
                if (y + 1 < strip.height && std::abs(at(x, y, c) - at(x, y + 1, c)) > step) return false;
            }
    return true;
}

Image store_image(Pixels strip, int cell_width, int cell_height, int frames, int flags)
{
    ImageData& image = image_store().emplace_back();
    image.width = cell_width;
    image.height = cell_height;
    image.frames = std::max(1, frames);
    image.flags = flags;
    image.soft = is_soft(strip);
    image.mask.resize(strip.rgba.size() / 4);
    image.opaque = true;
    for (std::size_t i = 0; i < image.mask.size(); ++i) {
        image.mask[i] = strip.rgba[i * 4 + 3] != 0 ? 1 : 0;
        image.opaque = image.opaque && strip.rgba[i * 4 + 3] == 255;
    }
    image.strip = std::move(strip);
    return &image;
}

Pixels decode_embedded(std::string_view path)
{
    const auto bytes = find_embedded_file(path);
    if (bytes.empty()) platform_fatal("kalventor: embedded picture " + std::string(path) + " is missing");
    Pixels pixels;
    std::string error;
    if (!decode_picture(bytes, pixels, error))
        platform_fatal("kalventor: cannot decode embedded picture " + std::string(path) + ": " + error);
    return pixels;
}

int effective_flags(int flags) { return flags < 0 ? image_default_flags : flags; }

}  // namespace

bool decode_picture(std::span<const std::uint8_t> bytes, Pixels& out, std::string& error)
{
    static constexpr std::uint8_t png_signature[] = {0x89, 'P', 'N', 'G'};
    if (bytes.size() >= 4 && std::equal(png_signature, png_signature + 4, bytes.begin()))
        return decode_png(bytes, out, error);
    if (bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF)
        return decode_jpeg(bytes, out, error);
    error = "neither PNG nor JPEG";
    return false;
}

bool write_png(const std::string& path, const Pixels& pixels, std::string* why)
{
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(pixels.width);
    png.height = static_cast<png_uint_32>(pixels.height);
    png.format = PNG_FORMAT_RGBA;
    // Written beside the target and renamed over it, so a reader never sees half a picture.
    if (const std::string refusal = replace_refusal(path); !refusal.empty()) {
        if (why != nullptr) *why = refusal;
        return false;
    }
    const std::string temporary = path + ".tmp";
    errno = 0;
    if (!png_image_write_to_file(&png, temporary.c_str(), 0, pixels.rgba.data(), 0, nullptr)) {
        if (why != nullptr) *why = errno != 0 ? std::strerror(errno) : png.message;
        std::remove(temporary.c_str());
        return false;
    }
    std::error_code ec;
    std::filesystem::rename(temporary, path, ec);
    if (ec && why != nullptr) *why = ec.message();
    if (ec) std::remove(temporary.c_str());
    return !ec;
}

Image create_image_from_pixels(const Pixels& pixels, int cell_width, int cell_height,
                               int first_cell, int cell_count, int flags)
{
    flags = effective_flags(flags);
    Pixels copy = pixels;
    if (flags & image_masked) apply_mask_colour(copy);
    if (cell_width == pixels.width && first_cell == 0 && cell_count == 1 && cell_height == pixels.height)
        return store_image(std::move(copy), cell_width, cell_height, 1, flags);
    return store_image(cut_cells(copy, cell_width, cell_height, first_cell, cell_count), cell_width,
                       cell_height, cell_count, flags);
}

Image load_image(std::string_view path, int flags)
{
    const Pixels pixels = decode_embedded(path);
    return create_image_from_pixels(pixels, pixels.width, pixels.height, 0, 1, flags);
}

Image load_anim_image(std::string_view path, int cell_width, int cell_height, int first_cell,
                      int cell_count, int flags)
{
    const Pixels pixels = decode_embedded(path);
    return create_image_from_pixels(pixels, cell_width, cell_height, first_cell, cell_count, flags);
}

Image create_image(int width, int height, int frames, int flags)
{
    Pixels strip;
    strip.width = width * std::max(1, frames);
    strip.height = height;
    strip.rgba.assign(static_cast<std::size_t>(strip.width) * height * 4, 0);
    Image image = store_image(std::move(strip), width, height, frames, effective_flags(flags));
    image->target = (image->flags & image_dynamic) != 0;
    return image;
}

void mid_handle_image(Image image)
{
    image->handle_x = image->width * 0.5f;
    image->handle_y = image->height * 0.5f;
}

void set_image_handle(Image image, float x, float y)
{
    image->handle_x = x;
    image->handle_y = y;
}

int image_width(Image image) { return image->width; }
bool image_is_filtered(Image image) { return (image->flags & image_filtered) != 0 && !image->soft; }
bool image_opaque(Image image) { return image->opaque && !image->target; }
int image_height(Image image) { return image->height; }
int image_frames(Image image) { return image->frames; }
float image_handle_x(Image image) { return image->handle_x; }
float image_handle_y(Image image) { return image->handle_y; }

int image_alpha_at(Image image, int frame, int x, int y)
{
    if (x < 0 || y < 0 || x >= image->width || y >= image->height || frame < 0 || frame >= image->frames)
        return 0;
    const std::size_t i = static_cast<std::size_t>(y) * image->width * image->frames +
                          static_cast<std::size_t>(frame) * image->width + x;
    return image->mask[i] ? 255 : 0;
}

SDL_Rect image_frame_rect(Image image, int frame)
{
    if (frame < 0 || frame >= image->frames) frame = 0;
    return SDL_Rect{frame * image->width, 0, image->width, image->height};
}

const std::uint32_t* image_argb(Image image)
{
    if (image->argb.empty()) {
        const std::size_t count = image->strip.rgba.size() / 4;
        image->argb.resize(count);
        // Premultiplied by alpha: blending and bilinear mixing then need no division by alpha.
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint8_t* p = &image->strip.rgba[i * 4];
            const std::uint32_t a = p[3];
            image->argb[i] = a << 24 | (p[0] * a / 255) << 16 | (p[1] * a / 255) << 8 | (p[2] * a / 255);
        }
        image->strip = Pixels{};   // the software copy holds the pixels now; the mask stays
    }
    return image->argb.data();
}

std::uint32_t* image_argb_for_writing(Image image)
{
    image_argb(image);
    if (image->texture != nullptr) {   // the texture would show the old pixels
        SDL_DestroyTexture(image->texture);
        image->texture = nullptr;
    }
    return image->argb.data();
}

int image_argb_pitch(Image image) { return image->width * image->frames; }

namespace {
// A grab keeps the mask colour where it was drawn opaque: (255, 0, 255) at alpha 1.
void clear_mask_colour(std::uint32_t* pixels, std::size_t count)
{
    constexpr std::uint32_t opaque_mask_colour = 0xFFFF00FF;
    std::replace(pixels, pixels + count, opaque_mask_colour, std::uint32_t{0});
}
}  // namespace

void mask_written_pixels(Image image, const SDL_Rect& area)
{
    if ((image->flags & image_masked) == 0) return;
    const int pitch = image_argb_pitch(image);
    for (int y = area.y; y < area.y + area.h; ++y)
        clear_mask_colour(image->argb.data() + static_cast<std::size_t>(y) * pitch + area.x, static_cast<std::size_t>(area.w));
}

void mask_grabbed_texture(Image image, SDL_Texture* texture, const SDL_Rect& area)
{
    if ((image->flags & image_masked) == 0) return;
    // The texture is the render target: the grab is read back, cleared and written over itself.
    // Grabs happen when a prompt or a fade begins, never every frame.
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(area.w) * static_cast<std::size_t>(area.h));
    SDL_Renderer* renderer = platform_renderer();
    if (SDL_RenderReadPixels(renderer, &area, SDL_PIXELFORMAT_ARGB8888, pixels.data(), area.w * 4) != 0) return;
    clear_mask_colour(pixels.data(), pixels.size());
    SDL_UpdateTexture(texture, &area, pixels.data(), area.w * 4);
}

SDL_Texture* image_texture(Image image)
{
    if (image->texture != nullptr) return image->texture;
    SDL_Renderer* renderer = platform_renderer();
    if (renderer == nullptr) return nullptr;
    const int total_width = image->width * image->frames;
    // Only a GPU draws from textures (software drawing blits our own copy of the pixels). They
    // share the screen picture's pixel format, so drawing never converts formats; a grabbed
    // picture is a render target.
    image->texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888,
                                       image->target ? SDL_TEXTUREACCESS_TARGET : SDL_TEXTUREACCESS_STATIC,
                                       total_width, image->height);
    if (image->texture == nullptr)
        platform_fatal(std::string("kalventor: cannot create a texture: ") + SDL_GetError());
    SDL_SetTextureBlendMode(image->texture, SDL_BLENDMODE_BLEND);
    SDL_SetTextureScaleMode(image->texture, (image->flags & image_filtered) ? SDL_ScaleModeLinear
                                                                            : SDL_ScaleModeNearest);
    if (!image->target) {
        std::vector<std::uint8_t> argb(image->strip.rgba.size());
        SDL_ConvertPixels(total_width, image->height, SDL_PIXELFORMAT_ABGR8888, image->strip.rgba.data(),
                          total_width * 4, SDL_PIXELFORMAT_ARGB8888, argb.data(), total_width * 4);
        SDL_UpdateTexture(image->texture, nullptr, argb.data(), total_width * 4);
        image->strip = Pixels{};   // the texture holds the pixels now; the mask stays for collisions
    }
    return image->texture;
}

namespace {

// Where one placed image sits on the screen: screen = position + R * S * (local - handle).
struct Placement {
    Image image;
    int frame;
    float x, y;
    double cos_r, sin_r, sx, sy;

    // Screen point -> local pixel coordinates of the image.
    void to_local(double px, double py, double& lx, double& ly) const
    {
        const double dx = px - x, dy = py - y;
        const double rx = cos_r * dx + sin_r * dy;    // rotate back by -rotation
        const double ry = -sin_r * dx + cos_r * dy;
        lx = rx / sx + image->handle_x;
        ly = ry / sy + image->handle_y;
    }

    void bounds(double& min_x, double& min_y, double& max_x, double& max_y) const
    {
        min_x = min_y = 1e30;
        max_x = max_y = -1e30;
        const double corners[4][2] = {{0, 0}, {double(image->width), 0}, {0, double(image->height)},
                                      {double(image->width), double(image->height)}};
        for (const auto& c : corners) {
            const double ux = (c[0] - image->handle_x) * sx, uy = (c[1] - image->handle_y) * sy;
            const double px = x + cos_r * ux - sin_r * uy, py = y + sin_r * ux + cos_r * uy;
            min_x = std::min(min_x, px), max_x = std::max(max_x, px);
            min_y = std::min(min_y, py), max_y = std::max(max_y, py);
        }
    }

    bool solid(double lx, double ly) const
    {
        if (lx < 0 || ly < 0 || lx >= image->width || ly >= image->height) return false;
        const std::size_t i = static_cast<std::size_t>(ly) * image->width * image->frames +
                              static_cast<std::size_t>(frame) * image->width + static_cast<std::size_t>(lx);
        return image->mask[i] != 0;
    }
};

Placement place(Image image, float x, float y, int frame, float rotation, float sx, float sy)
{
    const double radians = rotation * 3.14159265358979323846 / 180.0;
    if (frame < 0 || frame >= image->frames) frame = 0;
    return Placement{image, frame, x, y, std::cos(radians), std::sin(radians), sx, sy};
}

// Neither image turned nor scaled: each screen column is a fixed whole-pixel shift of an image
// column, so whole rows of the two masks can be compared directly.
bool collide_unturned(const Placement& a, const Placement& b)
{
    // Whole-pixel shifts must fit an int with room for the picture sizes; pictures placed that
    // far out are nowhere near one another or the screen.
    constexpr double far = 1 << 28;
    for (const double position : {double(a.x), double(a.y), double(b.x), double(b.y)})
        if (!(std::fabs(position) < far)) return false;
    // Pixel px of the screen holds image pixel px + shift (its centre px + 0.5 lies inside it).
    const auto shift = [](float position, float handle) {
        return static_cast<int>(std::floor(0.5 - (double(position) - handle)));
    };
    const int ax = shift(a.x, a.image->handle_x), ay = shift(a.y, a.image->handle_y);
    const int bx = shift(b.x, b.image->handle_x), by = shift(b.y, b.image->handle_y);
    const int first_x = std::max(-ax, -bx), last_x = std::min(a.image->width - ax, b.image->width - bx);
    const int first_y = std::max(-ay, -by), last_y = std::min(a.image->height - ay, b.image->height - by);
    if (first_x >= last_x || first_y >= last_y) return false;
    const std::size_t a_stride = static_cast<std::size_t>(a.image->width) * a.image->frames;
    const std::size_t b_stride = static_cast<std::size_t>(b.image->width) * b.image->frames;
    for (int py = first_y; py < last_y; ++py) {
        const std::uint8_t* ra = &a.image->mask[static_cast<std::size_t>(py + ay) * a_stride +
                                                static_cast<std::size_t>(a.frame) * a.image->width + (first_x + ax)];
        const std::uint8_t* rb = &b.image->mask[static_cast<std::size_t>(py + by) * b_stride +
                                                static_cast<std::size_t>(b.frame) * b.image->width + (first_x + bx)];
        std::uint8_t any = 0;
        for (int i = 0; i < last_x - first_x; ++i) any |= ra[i] & rb[i];
        if (any) return true;
    }
    return false;
}

}  // namespace

bool images_collide(Image image1, float x1, float y1, int frame1, float rotation1, float sx1, float sy1,
                    Image image2, float x2, float y2, int frame2, float rotation2, float sx2, float sy2)
{
    if (image1 == nullptr || image2 == nullptr) return false;
    if (sx1 == 0 || sy1 == 0 || sx2 == 0 || sy2 == 0) return false;   // nothing is drawn
    const Placement a = place(image1, x1, y1, frame1, rotation1, sx1, sy1);
    const Placement b = place(image2, x2, y2, frame2, rotation2, sx2, sy2);
    if (rotation1 == 0 && rotation2 == 0 && sx1 == 1 && sy1 == 1 && sx2 == 1 && sy2 == 1)
        return collide_unturned(a, b);
    double a_min_x, a_min_y, a_max_x, a_max_y, b_min_x, b_min_y, b_max_x, b_max_y;
    a.bounds(a_min_x, a_min_y, a_max_x, a_max_y);
    b.bounds(b_min_x, b_min_y, b_max_x, b_max_y);
    // A screen pixel belongs to a picture when its centre lies inside it, as when it is drawn.
    const int first_x = static_cast<int>(std::floor(std::max(a_min_x, b_min_x) - 0.5)) ;
    const int last_x = static_cast<int>(std::ceil(std::min(a_max_x, b_max_x) - 0.5));
    const int first_y = static_cast<int>(std::floor(std::max(a_min_y, b_min_y) - 0.5));
    const int last_y = static_cast<int>(std::ceil(std::min(a_max_y, b_max_y) - 0.5));
    if (first_x > last_x || first_y > last_y) return false;
    for (int py = first_y; py <= last_y; ++py) {
        // Local coordinates move by a constant step along a row of screen pixels.
        double ax, ay, bx, by, ax1, ay1, bx1, by1;
        a.to_local(first_x + 0.5, py + 0.5, ax, ay);
        b.to_local(first_x + 0.5, py + 0.5, bx, by);
        a.to_local(first_x + 1.5, py + 0.5, ax1, ay1);
        b.to_local(first_x + 1.5, py + 0.5, bx1, by1);
        const double adx = ax1 - ax, ady = ay1 - ay, bdx = bx1 - bx, bdy = by1 - by;
        for (int px = first_x; px <= last_x; ++px) {
            if (a.solid(ax, ay) && b.solid(bx, by)) return true;
            ax += adx, ay += ady, bx += bdx, by += bdy;
        }
    }
    return false;
}
