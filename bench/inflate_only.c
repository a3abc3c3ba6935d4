/* The floor for vantor-report as a process: a program that only reads a
 * scenario file and raw-inflates its body into memory, nothing else.
 *
 *   inflate_only SCENARIO
 */
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <zlib.h>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    FILE* f = fopen(argv[1], "rb");
    if (!f || fseek(f, 0, SEEK_END) != 0) return 1;
    const long length = ftell(f);
    unsigned char* file = malloc(length > 0 ? (size_t)length : 1);
    rewind(f);
    if (length < 8 || fread(file, 1, (size_t)length, f) != (size_t)length) return 1;
    fclose(f);
    const uint32_t header = file[4] | (file[5] << 8) | (file[6] << 16) | ((uint32_t)file[7] << 24);
    if (header > (uint32_t)length - 8) return 1;

    z_stream z = {0};
    if (inflateInit2(&z, -15) != Z_OK) return 1;
    z.next_in = file + 8 + header;
    z.avail_in = (uInt)(length - 8 - header);
    size_t capacity = (size_t)length * 8, size = 0;
    unsigned char* body = malloc(capacity);
    int result = Z_OK;
    while (result == Z_OK) {
        if (capacity - size < 131072) body = realloc(body, capacity *= 2);
        z.next_out = body + size;
        z.avail_out = 131072;
        result = inflate(&z, Z_SYNC_FLUSH);
        size += 131072 - z.avail_out;
    }
    inflateEnd(&z);
    printf("%zu\n", size);
    free(body);
    free(file);
    return result == Z_STREAM_END ? 0 : 1;
}
