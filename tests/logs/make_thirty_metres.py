#!/usr/bin/env python3
"""Writes tests/logs/B-30: the converted file of a made-up 30 m borehole, as the converter writes
one (CP932, CR LF), to be drawn by `tjvx preview` and checked by tests/log_layout_test.cc.

It holds a standard penetration test every metre, refusals (50 blows in less than 30 cm, and 999
blows), tests with no blow at all over a counted length, notes repeated over several intervals
(2001 records in a row with the same six names), a test with blows written where no length is
(the footer lists it), and an open-ended last layer (bottom 9999).
Usage: tests/logs/make_thirty_metres.py   (run from anywhere; rewrites tests/logs/B-30)
"""
import os

HERE = os.path.dirname(os.path.abspath(__file__))

HEADER = [
    "1000 緑野川右岸堤防補強工事に伴う地質調査業務",
    "1001 B-30",
    "1002 緑野市川端町三丁目地内",
    "1003 @",
    "1004 緑野川河川事務所",
    "1005 東和地質調査株式会社緑野支店",
    "1006 35 32 10.5",
    "1007 139 28 44.0",
    "1008 佐藤_花子",
    # Counted in 平成, as the converter writes both years: the dates fall in 令和 6.
    "1009 平成 36 07 22 36 08 09",
    "1010 ロータリー式ボーリング",
    "1011 YBM-05型",
    "1012 X=-41020.10 Y=-17555.80 IX系 T.P.",
    "1013 泥岩_26.80 66 30.00 90",
    "1014 ﾛｰﾀﾘｰ式",
    "1015 油圧_フィード @",
    "1016 ｺｱﾁｭｰﾌﾞ_φ66 @",
    "1017 -1 -1 10.000 rockpat.asg",
    "1018 @ @",
]

# (top, bottom, names); the last is open-ended.
LAYERS = [
    (0.00, 1.20, ["盛土"]),
    (1.20, 4.60, ["粘土", "腐植物混り"]),
    (4.60, 4.75, ["砂混りシルト"]),
    (4.75, 9.80, ["シルト"]),
    (9.80, 15.30, ["細砂", "貝殻_混り"]),
    (15.30, 21.40, ["砂礫"]),
    (21.40, 26.80, ["固結シルト"]),
    (26.80, 9999, ["泥岩"]),
]

# 2001 records: (depth, six names, 2002 lines). Names repeated over several records in a row make
# one block on the log.
SOFT = ["暗灰", "@", "非常に軟らかい", "含水多い", "腐植臭", "完新世"]
SAND = ["灰", "緩い～中位の", "@", "飽和", "@", "完新世"]
GRAVEL = ["褐灰", "非常に密な", "@", "飽和", "@", "更新世"]
ROCK = ["暗青灰", "@", "硬い", "湿潤", "@", "新第三紀"]
NOTES = [
    (1.20, ["暗褐", "@", "@", "湿潤", "@", "完新世"], ["表層10cmはｱｽﾌｧﾙﾄ舗装。以深は礫混り砂。"]),
    (2.00, SOFT, ["腐植物を多く混入する。"]),
    (3.00, SOFT, []),
    (4.60, SOFT, ["下部ほど砂分が増える。"]),
    (4.75, ["灰", "@", "軟らかい", "含水中位", "@", "完新世"], []),
    (7.00, ["灰", "@", "軟らかい", "含水多い", "@", "完新世"], ["貝殻片を点在。"]),
    (9.80, ["灰", "@", "軟らかい", "含水多い", "@", "完新世"], []),
    (12.00, SAND, ["細砂主体で粒子は均一。雲母片を含む。"]),
    (15.30, SAND, ["下端付近は中砂に変化する。"]),
    (18.00, GRAVEL, ["礫径φ2～40mm主体、最大φ80mm。亜円礫主体。"]),
    (21.40, GRAVEL, ["孔壁崩壊あり。"]),
    (26.80, ["暗灰", "@", "非常に硬い", "湿潤", "@", "更新世"], ["固結度が高く、指圧で凹まない。"]),
    (30.00, ROCK, ["青灰色の泥岩。上部は風化が進み指圧で崩れる。",
                   "中部以深は割れ目が少なく、コアは長棒状。"]),
]


def test_line(depth):
    """The 4000 line of the test at `depth` m: lengths and readings of its three intervals."""
    m = int(depth)
    if m in (3, 4):
        # The sampler went down under the rods' weight: no blow over a counted length.
        lengths, readings = ((30, -1, -1), (-1, -1, -1)) if m == 3 else ((45, -1, -1), (-1, -1, -1))
    elif m == 6:
        # Blows written where no length is: the footer lists them.
        lengths, readings = (10, -1, 10), (1, 1, 1)
    elif 16 <= m <= 20:
        # Refusals in the gravel: 50 blows in less than 30 cm.
        lengths, readings = ((10, 5, -1), (30, 20, -1)) if m % 2 else ((12, -1, -1), (50, -1, -1))
    elif m >= 27:
        lengths, readings = ((3, -1, -1), (50, -1, -1)) if m != 29 else ((10, 10, 10), (333, 333, 333))
    elif m <= 9:
        lengths, readings = (15, 10, 10), (-1, 1, 1)
    else:
        blows = min(49, 4 + (m - 9) * 3)
        lengths, readings = (10, 10, 10), (blows // 3, blows // 3, blows - 2 * (blows // 3))
    total = sum(length for length in lengths if length > 0)
    end = depth + total / 100
    values = [f"{depth:.2f}", f"{end:.2f}"] + [str(v) for v in lengths] + [str(v) for v in readings]
    return "4000 " + " ".join(values)


def main():
    lines = ["GTJ Ge201"] + HEADER
    lines += ["2000 9.80 沖積層_完新世 @ 4", "2000 21.40 洪積層_更新世 @ 6",
              "2000 30.00 基盤岩_新第三紀 @ 8"]
    for depth, names, notes in NOTES:
        lines.append(f"2001 {depth:.2f} @ " + " ".join(names) + f" -1 {len(notes)}")
    for _, _, notes in NOTES:
        lines += ["2002 " + note for note in notes]
    lines += ["3000 5.50 4.8 12.0", "3010 5.50 1.25", "3020 0.50 07 22"]
    for top, bottom, names in LAYERS:
        bottom_text = "9999" if bottom == 9999 else f"{bottom:.2f}"
        lines += [f"3030 {top:.2f} {bottom_text} {name}" for name in names]
    lines += ["3040 0.00 9.80 沖積層", "3040 9.80 21.40 洪積層", "3040 21.40 30.00 基盤"]
    lines += [test_line(m + 0.15) for m in range(1, 30)]
    lines += ["5000 8.15 07 25 2.652 48.2 1.52 85.3 52.1 @ 33.2",
              "5010 8.15 85.3 T-1 シルト"]
    with open(os.path.join(HERE, "B-30"), "wb") as out:
        out.write(("\r\n".join(lines) + "\r\n").encode("cp932"))


if __name__ == "__main__":
    main()
