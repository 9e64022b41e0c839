/* Link check for the Windows build of libjpeg-turbo: encodes a small
   gradient into memory and checks that a JPEG stream came out. Exit 0 on
   success; prints what went wrong otherwise. */
#include <stdio.h>
#include <stdlib.h>

#include <jpeglib.h>

int main(void) {
  enum { W = 16, H = 8 };
  unsigned char pixels[W * H * 3];
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      unsigned char* p = pixels + (y * W + x) * 3;
      p[0] = (unsigned char)(x * 16);
      p[1] = (unsigned char)(y * 32);
      p[2] = 128;
    }

  struct jpeg_compress_struct cinfo;
  struct jpeg_error_mgr jerr;
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_compress(&cinfo);
  unsigned char* out = NULL;
  unsigned long out_size = 0;
  jpeg_mem_dest(&cinfo, &out, &out_size);
  cinfo.image_width = W;
  cinfo.image_height = H;
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 75, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = pixels + cinfo.next_scanline * W * 3;
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);

  int ok = out_size > 4 && out[0] == 0xFF && out[1] == 0xD8 && out[out_size - 2] == 0xFF &&
           out[out_size - 1] == 0xD9;
  printf("jpeg_link_check: %lu bytes, %s\n", out_size, ok ? "a JPEG stream" : "NOT a JPEG stream");
  free(out);
  return ok ? 0 : 1;
}
