// The one definition of stb_image_write in the engine.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>
