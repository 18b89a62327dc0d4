"""Every generated TGA file opens in another program's reader, Pillow (Debian's python3-pil), and gives
the same pixels as the production's own loader, as moravel-inspect writes them out. Pillow refuses
run-length packets that run on into the next row, which the generator once wrote.
Usage: open_in_pillow.py PATH/TO/moravel-inspect DATA_DIR; exits 77 (skipped) without Pillow."""
import os
import subprocess
import sys
import tempfile

try:
    from PIL import Image
except ImportError:
    print("SKIP: Pillow is missing (python3-pil, in scripts/packages-test.txt)")
    sys.exit(77)

inspect, data = sys.argv[1], sys.argv[2]
names = sorted(n for n in os.listdir(data) if n.endswith(".tga"))
failures = []
kinds = set()
with tempfile.TemporaryDirectory() as work:
    for name in names:
        path = os.path.join(data, name)
        with open(path, "rb") as f:
            header = f.read(18)
        image_type, depth = header[2], header[16]
        kinds.add((image_type, depth))
        try:
            with Image.open(path) as picture:
                picture.load()
                mode, size, pixels = picture.mode, picture.size, picture.tobytes()
        except Exception as error:  # Pillow reports a bad file with several kinds of exception
            failures.append(f"{name}: Pillow cannot open it: {error}")
            continue
        wanted_mode = "RGBA" if depth == 32 else "RGB"
        if mode != wanted_mode:
            failures.append(f"{name}: Pillow reads it as {mode}, not {wanted_mode}")
            continue
        png = os.path.join(work, name + ".png")
        run = subprocess.run([inspect, "texture", path, png], capture_output=True, text=True)
        if run.returncode != 0:
            failures.append(f"{name}: moravel-inspect failed ({run.returncode}): {run.stderr.strip()}")
            continue
        with Image.open(png) as ours:
            if ours.size != size or ours.mode != mode:
                failures.append(f"{name}: Pillow {size} {mode}, our loader {ours.size} {ours.mode}")
                continue
            ours_pixels = ours.tobytes()
        if ours_pixels != pixels:
            step = len(mode)
            differ = [i // step for i in range(0, len(pixels), step) if pixels[i:i + step] != ours_pixels[i:i + step]]
            x, y = differ[0] % size[0], differ[0] // size[0]
            failures.append(f"{name}: {len(differ)} pixels differ, the first at ({x}, {y}) from the top left")
            continue
        print(f"{name}: type {image_type}, {depth} bits, {size[0]}x{size[1]}, the same pixels in Pillow")

# The run-length layouts are the ones Pillow refused; without them this test would prove little.
for kind in [(10, 32), (10, 24), (2, 32)]:
    if kind not in kinds:
        failures.append(f"no generated file has image type {kind[0]} at {kind[1]} bits")
for failure in failures:
    print("FAIL:", failure)
sys.exit(1 if failures else 0)
