"""Measures for the window on screens of more than one device pixel per
window pixel: whether its outline is the 1x outline scaled, and how much of
what it shows is finer than a window pixel (a picture enlarged from 1x has
none of that detail; one drawn at the screen's density has plenty).
"""

import numpy


def outline(image, backdrop):
    """The pixels of a picture of the window that are not the desktop's colour."""
    return numpy.any(image != numpy.array(backdrop, dtype=numpy.uint8), axis=2)


def scaled(mask, height, width, scale):
    """A 1x mask as the screen's pixels at `scale` would sample it, each
    device pixel taking the window pixel under its centre."""
    ys = numpy.minimum(((numpy.arange(height) + 0.5) / scale).astype(int), mask.shape[0] - 1)
    xs = numpy.minimum(((numpy.arange(width) + 0.5) / scale).astype(int), mask.shape[1] - 1)
    return mask[ys][:, xs]


def off_edge_differences(shown, expected):
    """Pixels where the shown outline differs from the expected one other
    than on the expected outline's edge, where fractional scales round
    either way: the count, and the first few as (x, y)."""
    height, width = expected.shape
    pad = numpy.pad(expected, 1, mode="edge")
    inside_edge = numpy.ones_like(expected)
    for dy in range(3):
        for dx in range(3):
            inside_edge &= pad[dy:dy + height, dx:dx + width] == expected
    wrong = (shown != expected) & inside_edge
    ys, xs = numpy.nonzero(wrong)
    return int(wrong.sum()), list(zip(xs[:5].tolist(), ys[:5].tolist()))


def key_coloured(image, key, tolerance=40):
    """How many pixels show (nearly) the colour the outline cuts away."""
    distance = numpy.abs(image.astype(int) - numpy.array(key)).max(axis=2)
    return int((distance <= tolerance).sum())


def fine_detail(image):
    """Of the brightness steps between neighbouring device pixels, the share
    that lies inside a window pixel at a scale of 2 (image taken from the
    window's top-left corner), and the mean step (the edge contrast)."""
    light = image.astype(float) @ numpy.array([0.299, 0.587, 0.114])
    across = numpy.abs(numpy.diff(light, axis=1))
    down = numpy.abs(numpy.diff(light, axis=0))
    inside = across[:, 0::2].sum() + down[0::2, :].sum()
    total = across.sum() + down.sum()
    contrast = (across.mean() + down.mean()) / 2
    return (inside / total if total else 0.0), contrast


def holds(image, picture, tolerance=2):
    """Whether `picture` shows somewhere in `image`, pixel for pixel; a
    picture larger than the image (a button narrower than its picture) by
    its middle, as much of it as fits."""
    ih, iw = image.shape[:2]
    cut_y = max(0, picture.shape[0] - ih + 4) // 2
    cut_x = max(0, picture.shape[1] - iw + 4) // 2
    picture = picture[cut_y:picture.shape[0] - cut_y, cut_x:picture.shape[1] - cut_x]
    ph, pw = picture.shape[:2]
    wanted = picture.astype(int)
    for y in range(ih - ph + 1):
        for x in range(iw - pw + 1):
            if numpy.abs(image[y:y + ph, x:x + pw].astype(int) - wanted).max() <= tolerance:
                return True
    return False
