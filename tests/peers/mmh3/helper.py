"""What the mmh3 suite imports from its helper module, which its source
distribution does not ship: a 32-bit unsigned value as the signed one of the
same bits."""


def u32_to_s32(value: int) -> int:
    return value - (1 << 32) if value & (1 << 31) else value
