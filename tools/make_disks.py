#!/usr/bin/env python3
"""Builds Apple II disk images holding pictures, for morvo's tests and benchmark.

Written from the DOS 3.3 and ProDOS file system descriptions (VTOC, catalog,
track/sector lists; volume directory, subdirectories, seedling, sapling and
tree files), the 2IMG header, PackBytes and LZ4FH. The packers here are our
own, so that the readers are checked against data they did not make.

Usage:
  make_disks.py OUTPUT_DIR
      The test images, the pictures they hold in OUTPUT_DIR/expected/ (one
      file per picture, the unpacked memory image), damaged variants in
      OUTPUT_DIR/damaged/ and loose picture files in OUTPUT_DIR/loose/.
  make_disks.py --volume OUT.po COUNT
      A 32 MB ProDOS volume of COUNT pictures in folders of 50, one in five
      packed, for the benchmark.
"""
import os
import random
import struct
import sys

SECTOR = 256
BLOCK = 512
HGR = 8192
DHGR = 16384

# --- pictures ---------------------------------------------------------------


def picture(seed, size=HGR):
    """A picture that packs in every way: blank bands, bands of one byte, a
    repeated four-byte pattern, and random bytes."""
    rng = random.Random(seed)
    out = bytearray()
    while len(out) < size:
        kind = rng.randrange(4)
        n = rng.randrange(1, 700)
        if kind == 0:
            out += bytes(n)
        elif kind == 1:
            out += bytes([rng.randrange(256)]) * n
        elif kind == 2:
            pattern = bytes(rng.randrange(256) for _ in range(4))
            out += pattern * (n // 4 + 1)
        else:
            out += bytes(rng.randrange(256) for _ in range(n))
    return bytes(out[:size])


def pack_bytes(data):
    """PackBytes: flag byte (kind in the high two bits, count - 1 in the low
    six), then literal bytes, one byte, or a four-byte pattern."""
    out = bytearray()
    literal = bytearray()

    def flush():
        while literal:
            chunk = literal[:64]
            out.append(len(chunk) - 1)
            out.extend(chunk)
            del literal[:64]

    i = 0
    while i < len(data):
        run = 1
        while i + run < len(data) and data[i + run] == data[i] and run < 256:
            run += 1
        quad = 0
        while i + 4 * quad + 4 <= len(data) and data[i + 4 * quad:i + 4 * quad + 4] == data[i:i + 4] and quad < 64:
            quad += 1
        if run >= 8:
            flush()
            count = run // 4
            out += bytes([0xC0 | (count - 1), data[i]])
            i += 4 * count
        elif run >= 3:
            flush()
            out += bytes([0x40 | (run - 1), data[i]])
            i += run
        elif quad >= 3:
            flush()
            out += bytes([0x80 | (quad - 1)]) + data[i:i + 4]
            i += 4 * quad
        else:
            literal.append(data[i])
            i += 1
    flush()
    return bytes(out)


def pack_lz4fh(data):
    """LZ4FH: $66, then chunks: a byte of literal count (high nibble, 15:
    plus a byte) and match length - 4 (low nibble, 15: plus a byte, 253 no
    match, 254 the end), the literals, then the match's offset from the start
    of the output."""
    out = bytearray([0x66])
    seen = {}
    literal = bytearray()

    def chunk(match_length, offset, end=False):
        lit = len(literal)
        token = (min(lit, 15) << 4) | (15 if end or match_length is None else min(match_length - 4, 15))
        out.append(token)
        if lit >= 15:
            out.append(lit - 15)
        out.extend(literal)
        literal.clear()
        if end:
            out.append(254)
        elif match_length is None:
            out.append(253)
        else:
            if match_length - 4 >= 15:
                out.append(match_length - 4 - 15)
            out.extend(struct.pack('<H', offset))

    i = 0
    while i < len(data):
        key = data[i:i + 4]
        offset = seen.get(key)
        length = 0
        if offset is not None and len(key) == 4:
            while i + length < len(data) and data[offset + length] == data[i + length] and length < 271:
                length += 1
        if length >= 4:
            chunk(length, offset)
            for j in range(i, i + length):
                seen[data[j:j + 4]] = j
            i += length
        else:
            if len(key) == 4:
                seen[key] = i
            literal.append(data[i])
            i += 1
            if len(literal) == 15 + 255:
                chunk(None, 0)
    chunk(None, 0, end=True)
    return bytes(out)


# --- ProDOS -----------------------------------------------------------------

ENTRY = 0x27
PER_BLOCK = 0x0D
SEEDLING, SAPLING, TREE, FORKED, SUBDIR = 1, 2, 3, 5, 0xD


class Directory:
    def __init__(self, name, parent=None):
        self.name = name
        self.parent = parent
        self.entries = []  # (entry bytes builder, Directory or None)
        self.blocks = []


class Prodos:
    def __init__(self, name, blocks):
        self.total = blocks
        self.image = bytearray(blocks * BLOCK)
        self.used = set(range(0, 6))  # boot blocks and the volume directory
        self.bitmap_blocks = (blocks + 4095) // 4096
        self.bitmap = 6
        self.used.update(range(6, 6 + self.bitmap_blocks))
        self.next_free = 6 + self.bitmap_blocks
        self.root = Directory(name)
        self.root.blocks = [2, 3, 4, 5]

    def allocate(self):
        while self.next_free in self.used:
            self.next_free += 1
        if self.next_free >= self.total:
            raise ValueError('volume full')
        self.used.add(self.next_free)
        return self.next_free

    def put(self, block, data, offset=0):
        start = block * BLOCK + offset
        self.image[start:start + len(data)] = data

    def index_block(self, numbers):
        raw = bytearray(BLOCK)
        for i, n in enumerate(numbers):
            raw[i] = n & 0xFF
            raw[256 + i] = n >> 8
        return raw

    def data_blocks(self, data, sparse):
        """Writes data in blocks; a block of zeros is left out (0) when sparse."""
        numbers = []
        for at in range(0, max(len(data), 1), BLOCK):
            piece = data[at:at + BLOCK]
            if sparse and not any(piece):
                numbers.append(0)
                continue
            block = self.allocate()
            self.put(block, piece)
            numbers.append(block)
        return numbers

    def add(self, directory, name, ftype, aux, data, storage=None, sparse=False, eof=None):
        """Adds a file; storage is picked by length unless given."""
        if storage is None:
            storage = SEEDLING if len(data) <= BLOCK else SAPLING if len(data) <= 256 * BLOCK else TREE
        numbers = self.data_blocks(data, sparse)
        if storage == SEEDLING:
            key = numbers[0] if numbers[0] else self.allocate()
            used = 1
        elif storage == SAPLING:
            key = self.allocate()
            self.put(key, self.index_block(numbers))
            used = 1 + sum(1 for n in numbers if n)
        else:
            key = self.allocate()
            indexes = []
            for at in range(0, len(numbers), 256):
                part = numbers[at:at + 256]
                if sparse and not any(part):
                    indexes.append(0)
                    continue
                index = self.allocate()
                self.put(index, self.index_block(part))
                indexes.append(index)
            self.put(key, self.index_block(indexes))
            used = 1 + sum(1 for n in indexes if n) + sum(1 for n in numbers if n)
        directory.entries.append((self.entry(storage, name, ftype, key, used, len(data) if eof is None else eof, aux), None))

    def forked(self, directory, name, ftype, aux):
        """A file with two forks: its key block is an extended entry."""
        key = self.allocate()
        directory.entries.append((self.entry(FORKED, name, ftype, key, 1, BLOCK, aux), None))

    def subdirectory(self, parent, name):
        child = Directory(name, parent)
        parent.entries.append((None, child))
        return child

    @staticmethod
    def entry(storage, name, ftype, key, used, eof, aux, header_pointer=2):
        raw = bytearray(ENTRY)
        raw[0] = (storage << 4) | len(name)
        raw[1:1 + len(name)] = name.encode('ascii')
        raw[0x10] = ftype
        struct.pack_into('<HH', raw, 0x11, key, used)
        raw[0x15:0x18] = struct.pack('<I', eof)[:3]
        raw[0x1E] = 0xE3
        struct.pack_into('<H', raw, 0x1F, aux)
        struct.pack_into('<H', raw, 0x25, header_pointer)
        return raw

    def layout(self, directory):
        """Gives each subdirectory enough blocks for its entries, depth first."""
        if directory is not self.root:
            count = (len(directory.entries) + 1 + PER_BLOCK - 1) // PER_BLOCK
            directory.blocks = [self.allocate() for _ in range(count)]
        for _, child in directory.entries:
            if child:
                self.layout(child)

    def write_directory(self, directory):
        if len(directory.entries) + 1 > len(directory.blocks) * PER_BLOCK:
            raise ValueError('directory full')
        raws = []
        for raw, child in directory.entries:
            if child:
                raw = self.entry(SUBDIR, child.name, 0x0F, child.blocks[0], len(child.blocks),
                                 len(child.blocks) * BLOCK, 0)
            struct.pack_into('<H', raw, 0x25, directory.blocks[0])
            raws.append(raw)
        header = bytearray(ENTRY)
        name = directory.name
        header[1:1 + len(name)] = name.encode('ascii')
        if directory is self.root:
            header[0] = 0xF0 | len(name)
            struct.pack_into('<HH', header, 0x23, self.bitmap, self.total)
        else:
            header[0] = 0xE0 | len(name)
            header[0x10] = 0x75
            parent_block, parent_entry = self.entry_place(directory)
            struct.pack_into('<HBB', header, 0x23, parent_block, parent_entry, ENTRY)
        header[0x1E] = 0xE3
        header[0x1F] = ENTRY
        header[0x20] = PER_BLOCK
        struct.pack_into('<H', header, 0x21, len(raws))
        slots = [header] + raws
        for i, block in enumerate(directory.blocks):
            previous = directory.blocks[i - 1] if i else 0
            following = directory.blocks[i + 1] if i + 1 < len(directory.blocks) else 0
            self.put(block, struct.pack('<HH', previous, following))
            for j, raw in enumerate(slots[i * PER_BLOCK:(i + 1) * PER_BLOCK]):
                self.put(block, raw, 4 + j * ENTRY)
        for _, child in directory.entries:
            if child:
                self.write_directory(child)

    def entry_place(self, child):
        index = 1 + [c for _, c in child.parent.entries].index(child)
        return child.parent.blocks[index // PER_BLOCK], index % PER_BLOCK + 1

    def finish(self):
        self.layout(self.root)
        self.write_directory(self.root)
        bitmap = bytearray(self.bitmap_blocks * BLOCK)
        for b in range(self.total):
            if b not in self.used:
                bitmap[b // 8] |= 0x80 >> (b % 8)
        self.put(self.bitmap, bitmap)
        return self.image


# A 140 KB ProDOS disk in DOS order: block b is track b / 8, its halves the
# DOS logical sectors of this table.
BLOCK_HALVES = [(0, 14), (13, 12), (11, 10), (9, 8), (7, 6), (5, 4), (3, 2), (1, 15)]


def prodos_to_dos_order(image):
    out = bytearray(len(image))
    for b in range(len(image) // BLOCK):
        track = b // 8
        for half, sector in enumerate(BLOCK_HALVES[b % 8]):
            src = b * BLOCK + half * SECTOR
            dst = (track * 16 + sector) * SECTOR
            out[dst:dst + SECTOR] = image[src:src + SECTOR]
    return out


def dos_to_prodos_order(image):
    out = bytearray(len(image))
    for b in range(len(image) // BLOCK):
        track = b // 8
        for half, sector in enumerate(BLOCK_HALVES[b % 8]):
            src = (track * 16 + sector) * SECTOR
            dst = b * BLOCK + half * SECTOR
            out[dst:dst + SECTOR] = image[src:src + SECTOR]
    return out


def two_img(volume, dos_order=False, blocks=None):
    header = bytearray(64)
    header[0:4] = b'2IMG'
    header[4:8] = b'MRVO'
    struct.pack_into('<HHI', header, 8, 64, 1, 0 if dos_order else 1)
    struct.pack_into('<IIII', header, 0x10, 0, len(volume) // BLOCK if blocks is None else blocks, 64, len(volume))
    return bytes(header) + bytes(volume)


# --- DOS 3.3 ----------------------------------------------------------------

TRACKS = 35
SECTORS = 16
CATALOG_TRACK = 17
PAIRS = 122


class Dos33:
    def __init__(self):
        self.image = bytearray(TRACKS * SECTORS * SECTOR)
        self.free = [(t, s) for t in list(range(18, TRACKS)) + list(range(16, 0, -1)) for s in range(15, -1, -1)]
        self.entries = []
        vtoc = bytearray(SECTOR)
        vtoc[1], vtoc[2], vtoc[3], vtoc[6] = CATALOG_TRACK, 15, 3, 254
        vtoc[0x27] = PAIRS
        vtoc[0x34], vtoc[0x35] = TRACKS, SECTORS
        struct.pack_into('<H', vtoc, 0x36, SECTOR)
        self.put(CATALOG_TRACK, 0, vtoc)

    def put(self, track, sector, data):
        at = (track * SECTORS + sector) * SECTOR
        self.image[at:at + len(data)] = data

    def allocate(self):
        return self.free.pop(0)

    def add(self, name, ftype, data, holes=False):
        """Adds a file; a sector of zeros is a hole (0/0) when holes."""
        pairs = []
        for at in range(0, len(data), SECTOR):
            piece = data[at:at + SECTOR]
            if holes and at and not any(piece):
                pairs.append((0, 0))
                continue
            ts = self.allocate()
            self.put(*ts, piece)
            pairs.append(ts)
        lists = [self.allocate() for _ in range(max(1, (len(pairs) + PAIRS - 1) // PAIRS))]
        for i, ts in enumerate(lists):
            raw = bytearray(SECTOR)
            if i + 1 < len(lists):
                raw[1], raw[2] = lists[i + 1]
            struct.pack_into('<H', raw, 5, i * PAIRS)
            for j, pair in enumerate(pairs[i * PAIRS:(i + 1) * PAIRS]):
                raw[0x0C + 2 * j], raw[0x0D + 2 * j] = pair
            self.put(*ts, raw)
        self.entries.append((lists[0], ftype, name, len(lists) + len(pairs)))
        return lists[0]

    def add_binary(self, name, address, data, **kw):
        return self.add(name, 0x04, struct.pack('<HH', address, len(data)) + data, **kw)

    def delete(self, name):
        self.entries = [(ts if n != name else (0xFF, ts[1]), t, n, c) for ts, t, n, c in self.entries]

    def finish(self):
        for i in range(15):
            raw = bytearray(SECTOR)
            sector = 15 - i
            if sector > 1:
                raw[1], raw[2] = CATALOG_TRACK, sector - 1
            for j, (ts, ftype, name, count) in enumerate(self.entries[i * 7:(i + 1) * 7]):
                at = 0x0B + 35 * j
                raw[at], raw[at + 1], raw[at + 2] = ts[0], ts[1], ftype
                raw[at + 3:at + 33] = bytes(0x80 | ord(c) for c in name.ljust(30))
                struct.pack_into('<H', raw, at + 33, count)
            self.put(CATALOG_TRACK, sector, raw)
        return self.image


# --- the test images --------------------------------------------------------


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, 'wb') as f:
        f.write(data)


def dos_disk(expected):
    disk = Dos33()
    pic1, page2, dhgr, holey = picture(1), picture(2)[:8184], picture(3, DHGR), bytearray(picture(4))
    holey[2048:4096] = bytes(2048)
    disk.add('HELLO', 0x02, b'\x00' * 300)
    disk.add_binary('PIC1', 0x2000, pic1)
    disk.add_binary('PIC2.PAGE2', 0x4000, page2)
    disk.add_binary('DOUBLE', 0x2000, dhgr)
    disk.add_binary('CODE', 0x0803, bytes(300))
    disk.add_binary('HOLEY', 0x2000, bytes(holey), holes=True)
    disk.add_binary('GONE', 0x2000, pic1)
    disk.delete('GONE')
    disk.add('LOCKED PIC', 0x84, struct.pack('<HH', 0x2000, HGR) + pic1)
    disk.add_binary('LONG', 0x0800, picture(5, 40000))  # two track/sector lists
    expected.update({'dos_PIC1': pic1, 'dos_PIC2': page2, 'dos_DOUBLE': dhgr, 'dos_HOLEY': bytes(holey),
                     'dos_LONG': picture(5, 40000)})
    return disk


def names_disk():
    """Names a host file system must not take as they are."""
    disk = Dos33()
    for i, name in enumerate(['../../ESCAPE', 'A/B', 'A_B', 'pic', 'PIC', '.HIDDEN', 'TWO  SPACES']):
        disk.add_binary(name, 0x2000, picture(40 + i))
    return disk


def prodos_volume(expected, blocks=280, name='PICS'):
    vol = Prodos(name, blocks)
    root = vol.root
    hgr, dhgr, packed, slide, mode = picture(11), picture(12, DHGR), picture(13), picture(14), bytearray(picture(15))
    packed_dhgr, nested, deep = picture(16, DHGR), picture(17)[:8184], picture(18)
    sparse = bytearray(picture(19))
    sparse[1024:3072] = bytes(2048)
    blank = bytearray(HGR)
    blank[100:104] = b'\x7f\x7f\x7f\x7f'
    mode[120] = 3
    vol.add(root, 'HGR.BIN', 0x06, 0x2000, hgr)
    vol.add(root, 'ART.A2FC', 0x06, 0x2000, dhgr)
    vol.add(root, 'BLANK.PACKED', 0x08, 0x4000, pack_bytes(bytes(blank)))
    vol.add(root, 'PACKED', 0x08, 0x4000, pack_bytes(packed))
    vol.add(root, 'PACKED.DHGR', 0x08, 0x4001, pack_bytes(packed_dhgr))
    vol.add(root, 'SLIDE', 0x08, 0x8066, pack_lz4fh(slide))
    vol.add(root, 'MODE.FOT', 0x08, 0x0000, bytes(mode))
    vol.add(root, 'SPARSE', 0x06, 0x2000, bytes(sparse), sparse=True)
    vol.add(root, 'TREE', 0x08, 0x2000, dhgr, storage=TREE)
    vol.add(root, 'README', 0x04, 0x0000, b'PICTURES FOR MORVO\r')
    vol.add(root, 'CODE', 0x06, 0x0803, bytes(300))
    vol.add(root, 'BADPACK', 0x08, 0x4000, b'\x3f' + bytes(20))
    vol.forked(root, 'FORKED', 0x08, 0x4000)
    art = vol.subdirectory(root, 'ART')
    vol.add(art, 'NESTED', 0x06, 0x4000, nested)
    deeper = vol.subdirectory(art, 'DEEP')
    vol.add(deeper, 'PIC', 0x08, 0x0000, deep)
    expected.update({'po_HGR': hgr, 'po_DHGR': dhgr, 'po_BLANK': bytes(blank), 'po_PACKED': packed,
                     'po_PACKED_DHGR': packed_dhgr, 'po_SLIDE': slide, 'po_MODE': bytes(mode), 'po_SPARSE': bytes(sparse),
                     'po_NESTED': nested, 'po_DEEP': deep})
    return vol


def big_volume(expected):
    """800 KB: a tree file whose second index block is sparse and third is
    not, beyond what a picture needs, for the tree reader."""
    vol = Prodos('BIG', 1600)
    data = bytearray(picture(21, 3 * 256 * BLOCK + 1000))
    data[256 * BLOCK:2 * 256 * BLOCK] = bytes(256 * BLOCK)
    vol.add(vol.root, 'HUGE', 0x06, 0x0000, bytes(data), sparse=True)
    vol.add(vol.root, 'PIC', 0x06, 0x2000, picture(22))
    expected.update({'big_HUGE': bytes(data), 'big_PIC': picture(22)})
    return vol


def hard_volume(expected):
    vol = Prodos('HARD', 4096)
    folder = vol.root
    for i in range(3):
        folder = vol.subdirectory(folder, 'LEVEL%d' % i)
        vol.add(folder, 'PIC%d' % i, 0x08, 0x4000, pack_bytes(picture(30 + i)))
        expected['hdv_PIC%d' % i] = picture(30 + i)
    return vol


def damaged(out, dos, prodos):
    d = os.path.join(out, 'damaged')
    # DOS 3.3: the catalog's last sector leads back to its first.
    img = bytearray(dos)
    img[(17 * 16 + 1) * SECTOR + 1:(17 * 16 + 1) * SECTOR + 3] = bytes([17, 15])
    write(os.path.join(d, 'catalog_loop.dsk'), img)
    # DOS 3.3: a data sector on track 40 of a 35-track disk, in PIC1.
    img = bytearray(dos)
    first_list = img[(17 * 16 + 15) * SECTOR + 0x0B + 35:][:2]
    ts = (first_list[0] * 16 + first_list[1]) * SECTOR
    img[ts + 0x0C + 2 * 5] = 40
    write(os.path.join(d, 'sector_outside.dsk'), img)
    # DOS 3.3: the track/sector list of LONG leads back to itself.
    img = bytearray(dos)
    entry = (17 * 16 + 14) * SECTOR + 0x0B + 35
    ts = (img[entry] * 16 + img[entry + 1]) * SECTOR
    img[ts + 1:ts + 3] = img[entry:entry + 2]
    write(os.path.join(d, 'list_loop.dsk'), img)
    # DOS 3.3: a VTOC that names a catalog on track 99.
    img = bytearray(dos)
    img[17 * 16 * SECTOR + 1] = 99
    write(os.path.join(d, 'bad_vtoc.dsk'), img)
    # ProDOS: the volume directory's last block leads back to its second.
    img = bytearray(prodos)
    img[5 * BLOCK + 2:5 * BLOCK + 4] = struct.pack('<H', 3)
    write(os.path.join(d, 'directory_loop.po'), img)

    def entry_of(image, name):
        for block in (2, 3, 4, 5):
            for j in range(PER_BLOCK):
                at = block * BLOCK + 4 + j * ENTRY
                if image[at] & 0xF and image[at + 1:at + 1 + (image[at] & 0xF)] == name:
                    return at
        raise KeyError(name)

    # ProDOS: the subdirectory ART is the volume directory again.
    img = bytearray(prodos)
    struct.pack_into('<H', img, entry_of(img, b'ART') + 0x11, 2)
    write(os.path.join(d, 'subdirectory_cycle.po'), img)
    # ProDOS: HGR.BIN's index names block 60000 of a 280-block disk.
    img = bytearray(prodos)
    key = struct.unpack_from('<H', img, entry_of(img, b'HGR.BIN') + 0x11)[0]
    img[key * BLOCK + 3], img[key * BLOCK + 256 + 3] = 60000 & 0xFF, 60000 >> 8
    write(os.path.join(d, 'index_outside.po'), img)
    # ProDOS: TREE's master index full of random numbers.
    img = bytearray(prodos)
    key = struct.unpack_from('<H', img, entry_of(img, b'TREE') + 0x11)[0]
    img[key * BLOCK:(key + 1) * BLOCK] = random.Random(7).randbytes(BLOCK)
    write(os.path.join(d, 'tree_garbage.po'), img)
    # ProDOS: the sapling file HGR.BIN says it is 16 MB long.
    img = bytearray(prodos)
    at = entry_of(img, b'HGR.BIN') + 0x15
    img[at:at + 3] = b'\xff\xff\xff'
    write(os.path.join(d, 'eof_huge.po'), img)
    # ProDOS: a folder of 20,100 entries that all name one packed picture.
    vol = Prodos('MANY', 4096)
    folder = vol.subdirectory(vol.root, 'MANY')
    key = vol.allocate()
    packed = pack_bytes(bytes(HGR))
    vol.put(key, packed)
    for i in range(20100):
        folder.entries.append((vol.entry(SEEDLING, 'P%d' % i, 0x08, key, 1, len(packed), 0x4000), None))
    write(os.path.join(d, 'many_files.po'), vol.finish())
    # ProDOS: the image cut short after 100 KB.
    write(os.path.join(d, 'truncated.po'), prodos[:100 * 1024])
    # 2IMG: the data said to start past the end of the file, and to run past it.
    img = bytearray(two_img(prodos))
    struct.pack_into('<I', img, 0x18, len(img) + 512)
    write(os.path.join(d, 'offset_past_end.2mg'), img)
    img = bytearray(two_img(prodos))
    struct.pack_into('<I', img, 0x1C, len(prodos) * 4)
    write(os.path.join(d, 'length_past_end.2mg'), img)
    write(os.path.join(d, 'random.dsk'), random.Random(9).randbytes(TRACKS * SECTORS * SECTOR))
    write(os.path.join(d, 'empty.po'), b'')


def loose_files(out, expected):
    """Pictures as transfer tools leave them on a host disk: the ProDOS type
    in the name, a DOS 3.3 binary file's header, pairs."""
    d = os.path.join(out, 'loose')
    header = struct.pack('<HH', 0x2000, HGR)
    write(os.path.join(d, 'PACKED#084000'), pack_bytes(expected['po_PACKED']))
    write(os.path.join(d, 'PACKED.DHGR#084001'), pack_bytes(expected['po_PACKED_DHGR']))
    write(os.path.join(d, 'SLIDE#088066'), pack_lz4fh(expected['po_SLIDE']))
    write(os.path.join(d, 'MODE#080000'), expected['po_MODE'])
    write(os.path.join(d, 'ART.A2FC#062000'), expected['po_DHGR'])
    write(os.path.join(d, 'BADPACK#084000'), b'\x3f' + bytes(20))
    write(os.path.join(d, 'PIC1.B'), header + expected['dos_PIC1'])
    write(os.path.join(d, 'PIC1.SECTORS'), (header + expected['dos_PIC1']).ljust(33 * SECTOR, b'\0'))
    write(os.path.join(d, 'PAIR.BIN'), expected['po_HGR'])
    write(os.path.join(d, 'PAIR.AUX'), expected['po_DEEP'])
    write(os.path.join(d, 'NOTES.TXT'), b'NOT A PICTURE\n' * 100)


def test_images(out):
    expected = {}
    dos = dos_disk(expected).finish()
    prodos = prodos_volume(expected).finish()
    loose_files(out, expected)
    write(os.path.join(out, 'dos.dsk'), dos)
    write(os.path.join(out, 'dos_in_prodos_order.po'), dos_to_prodos_order(dos))
    write(os.path.join(out, 'prodos.po'), prodos)
    write(os.path.join(out, 'prodos_in_dos_order.dsk'), prodos_to_dos_order(prodos))
    write(os.path.join(out, 'prodos.2mg'), two_img(prodos))
    write(os.path.join(out, 'dos.2mg'), two_img(dos, dos_order=True))
    write(os.path.join(out, 'big.po'), big_volume(expected).finish())
    write(os.path.join(out, 'hard.hdv'), hard_volume(expected).finish())
    write(os.path.join(out, 'names.dsk'), names_disk().finish())
    damaged(out, dos, prodos)
    for name, data in expected.items():
        write(os.path.join(out, 'expected', name), data)


def bench_volume(path, count):
    vol = Prodos('BENCH', 65535)
    folder = None
    for i in range(count):
        if i % 50 == 0:
            folder = vol.subdirectory(vol.root, 'SET%02d' % (i // 50))
        size = DHGR if i % 7 == 3 else HGR
        data = picture(1000 + i, size)
        if i % 5 == 4:
            vol.add(folder, 'PIC%03d' % i, 0x08, 0x4001 if size == DHGR else 0x4000, pack_bytes(data))
        else:
            vol.add(folder, 'PIC%03d' % i, 0x06, 0x2000, data)
    write(path, vol.finish())


def main(argv):
    if len(argv) == 4 and argv[1] == '--volume':
        bench_volume(argv[2], int(argv[3]))
    elif len(argv) == 2:
        test_images(argv[1])
    else:
        sys.exit(__doc__)


if __name__ == '__main__':
    main(sys.argv)
