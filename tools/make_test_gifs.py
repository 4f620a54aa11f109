#!/usr/bin/env python3
"""Writes the GIF test pictures that no drawing program makes: an LZW table
that fills up with no clear code after it, indexes past the colour table, a
transparent colour that is not black, a minimum code size of 1, clear codes
and sub-blocks of every length, a picture reaching past the screen.

    make_test_gifs.py FOLDER

The codes are sized the way Qt's reader reads them (the size grows once the
next table entry reaches 1 << size); the decoder's tests compare every one
of these pictures with Qt's reader, so that is the only yardstick used.
"""
import struct
import sys


def lzw(indexes, min_size, deferred_clear=False, clear_every=0):
    """The LZW codes of the indexes, as (code, bit count) pairs."""
    clear, end = 1 << min_size, (1 << min_size) + 1
    codes, state = [], {}

    def reset():
        state.update(table={(i,): i for i in range(clear)}, written=clear + 2,
                     read=clear + 2, size=min_size + 1, first=True)

    def put(code):
        codes.append((code, state['size']))
        if code == clear:
            reset()
        elif code != end and state['first']:
            state['first'] = False
        elif code != end and state['read'] < 4096:
            # The reader adds an entry one code later than the writer.
            state['read'] += 1
            if state['read'] >= 1 << state['size'] and state['size'] < 12:
                state['size'] += 1

    reset()
    put(clear)
    word, count = (), 0
    for index in indexes:
        if word and word + (index,) in state['table']:
            word += (index,)
            continue
        if word:
            put(state['table'][word])
            count += 1
            if state['written'] < 4096:
                state['table'][word + (index,)] = state['written']
                state['written'] += 1
            elif not deferred_clear:
                put(clear)
            if clear_every and count % clear_every == 0:
                put(clear)
        word = (index,)
    put(state['table'][word])
    put(end)
    return codes


def pack(codes, block):
    bits = count = 0
    data = bytearray()
    for code, size in codes:
        bits |= code << count
        count += size
        while count >= 8:
            data.append(bits & 0xFF)
            bits >>= 8
            count -= 8
    if count:
        data.append(bits)
    out = bytearray()
    for i in range(0, len(data), block):
        out.append(len(data[i:i + block]))
        out += data[i:i + block]
    return bytes(out + b'\0')


def gif(screen, colours, pixels, rect=None, background=0, transparent=None, min_size=2,
        deferred_clear=False, clear_every=0, block=255):
    width, height = screen
    left, top, frame_width, frame_height = rect or (0, 0, width, height)
    bits = max(0, (len(colours) - 1).bit_length() - 1)
    out = bytearray(b'GIF89a' + struct.pack('<HHBBB', width, height, 0xF0 | bits, background, 0))
    for i in range(2 << bits):
        out += bytes(colours[i] if i < len(colours) else (0, 0, 0))
    if transparent is not None:
        out += bytes([0x21, 0xF9, 4, 1, 0, 0, transparent, 0])
    out += b',' + struct.pack('<HHHHB', left, top, frame_width, frame_height, 0)
    out.append(min_size)
    out += pack(lzw(pixels, min_size, deferred_clear, clear_every), block)
    return bytes(out + b';')


def noise(count, colours, seed):
    values = []
    for _ in range(count):
        seed = (seed * 1103515245 + 12345) & 0x7FFFFFFF
        values.append((seed >> 16) % colours)
    return values


RAINBOW = [(255, 0, 0), (0, 200, 0), (0, 0, 255), (255, 0, 255), (250, 250, 0), (0, 128, 128),
           (90, 60, 30), (255, 255, 255)]

PICTURES = {
    # 16 colours of noise: the table is full after about 4080 codes and
    # stays full for 280 more.
    'deferredclear.gif': gif((100, 100), [(i * 16, 255 - i * 16, i * 40 % 256) for i in range(16)],
                             noise(100 * 100, 16, 7), min_size=4, deferred_clear=True),
    # A 4-colour table and indexes 0 to 7: 4 is one past its end.
    'pasttable.gif': gif((8, 2), RAINBOW[:4], [0, 1, 2, 3, 4, 5, 6, 7, 7, 6, 5, 4, 3, 2, 1, 0], min_size=3),
    # Magenta is transparent; the picture lies inside the screen.
    'transkey.gif': gif((10, 8), RAINBOW[:4], noise(6 * 5, 4, 3), rect=(2, 2, 6, 5), background=1,
                        transparent=3, block=3),
    'mincode1.gif': gif((16, 4), RAINBOW[:2], noise(32, 2, 5) + [1, 0] * 16, min_size=1),
    'clears.gif': gif((9, 7), RAINBOW, noise(63, 8, 11), min_size=3, clear_every=5, block=1),
    # 5 x 4 at (6, 4) on an 8 x 6 screen: only its top-left 2 x 2 shows.
    'pastedge.gif': gif((8, 6), RAINBOW[:4], noise(20, 4, 13), rect=(6, 4, 5, 4), background=2),
}

if __name__ == '__main__':
    for name, data in PICTURES.items():
        with open(f'{sys.argv[1]}/{name}', 'wb') as f:
            f.write(data)
