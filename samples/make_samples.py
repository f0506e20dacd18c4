#!/usr/bin/env python3
"""Writes the bundled sample data of tjvx.

Run from anywhere:  python3 samples/make_samples.py

Produces, next to this script:
  DOZORA/              pattern folder: code tables L*.TXT and the geology
                       name tables KISHITU.TXT, SHITU.TXT, MAJIRI.TXT
  boreholes/B-12/      one borehole folder (X*.TXT, R*.TXT, N*.TXT, G*.TXT,
                       Titl01.txt, Titl02.txt)
  settings/DozoraV5.ini

Every data file is Windows-31J (cp932) text with CR LF line ends and no BOM,
the form in which the borehole-log program writes them.  The data are made
up for this project: the borehole B-12, the site and the names are fictional.

Field conventions of the data files: fields are separated by commas or by
line ends; a text field is written in double quotes, a number without them.
A record is a fixed number of fields and may run over several lines.
"""

import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
CRLF = "\r\n"


def q(text):
    """A double-quoted text field."""
    assert '"' not in text
    return '"' + text + '"'


def line(*fields):
    """One line of comma-separated fields; str fields are taken as written
    (use q() to quote), numbers are written with str()."""
    return ",".join(f if isinstance(f, str) else str(f) for f in fields)


def write(relpath, lines):
    path = os.path.join(HERE, relpath)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    data = "".join(l + CRLF for l in lines).encode("cp932")  # strict: fails on any non-cp932 character
    with open(path, "wb") as f:
        f.write(data)
    return path


def pairs(table):
    """Lines "code,"name"" of a two-field code table."""
    return [line(code, q(name)) for code, name in table]


def cols(text):
    """Display width: bytes in cp932 (full-width characters count 2)."""
    return len(text.encode("cp932"))


# ---------------------------------------------------------------------------
# Pattern folder DOZORA
# ---------------------------------------------------------------------------

def make_dozora():
    d = "DOZORA/"

    # L1: rock/soil classification (Titl01 item 16 names one of these codes).
    write(d + "L1.TXT", pairs([
        (1, "砂質土"), (2, "粘性土"), (3, "礫質土"), (4, "泥岩"),
        (5, "砂岩"), (6, "礫岩"), (7, "凝灰岩"), (8, "花崗岩"),
    ]))

    # L4: colour parts, used by X3.TXT.  The borehole writes them as runs of
    # two-character codes ("0104" = 暗 + 灰 = 暗灰); the table writes the
    # codes without the leading zero (1 ... 10), they match by value.
    write(d + "L4.TXT", [
        line(1, q("暗")), line(2, q("明")), line(3, q("褐")),
        line(4, q("灰")), line(5, q("青")), line(6, q("黄")),
        line(7, q("黒")), line(8, q("緑")), line(9, q("ｵﾘｰﾌﾞ")),
        line(10, q("赤")),
    ])

    # L8: soil/rock legend names for the layer records of X7.TXT.
    # Three fields: code, name, pattern file (not used by the converter).
    # Code 5 is written "5" here; X7.TXT refers to it as "05".
    l8 = [
        ("1", "表土", "P001"),
        ("2", "盛土", "P002"),
        ("3", "ﾛｰﾑ", "P003"),              # half-width katakana
        ("4", "ｼﾙﾄ", "P004"),              # half-width katakana
        ("5", "細砂", "P005"),
        ("6", "粗砂", "P006"),
        ("7", "泥岩", "P007"),
        ("8", "腐植物混り", "P008"),
        ("9", "砂礫(Dg1)", "P009"),        # capitals, a small letter, a digit
        ("10", "貝殻 混り", "P010"),       # half-width blank
        ("11", "軽石　混り", "P011"),      # full-width blank U+3000
        ("12", "塩ビ管VP50A", "P012"),     # half-width digits and capitals
    ]
    write(d + "L8.TXT", [line(c, q(n), q(p)) for c, n, p in l8])

    # L13 ... L16: code, name.  L17: code, abbreviation (not used), name.
    write(d + "L13.TXT", pairs([        # relative density (R31.TXT)
        (1, "非常に緩い"), (2, "緩い"), (3, "中位の"),
        (4, "密な"), (5, "非常に密な"),
    ]))
    write(d + "L14.TXT", pairs([        # consistency (R32.TXT)
        (1, "非常に軟らかい"), (2, "軟らかい"), (3, "中位の"),
        (4, "硬い"), (5, "非常に硬い"),
    ]))
    write(d + "L15.TXT", pairs([        # moisture (R33.TXT)
        (1, "乾燥"), (2, "湿潤"), (3, "含水中位"),
        (4, "含水多い"), (5, "飽和"),
    ]))
    write(d + "L16.TXT", pairs([        # odour (R34.TXT)
        (1, "腐植臭"), (2, "有機臭"), (3, "油臭"), (4, "ﾒﾀﾝｶﾞｽ臭"),
    ]))
    write(d + "L17.TXT", [              # geological age (R35.TXT)
        line(1, q("Hl"), q("完新世")),
        line(2, q("Pl"), q("更新世")),
        line(3, q("Pli"), q("鮮新世")),
        line(4, q("Mi"), q("中新世")),
        line(5, q("Ql"), q("第四紀ﾛｰﾑ")),
    ])

    # L18 / L18B: soil name and qualifier of the samples in G72.TXT.
    write(d + "L18.TXT", pairs([
        (1, "礫"), (2, "砂"), (3, "ｼﾙﾄ"), (4, "粘土"),
        (5, "ローム"), (6, "有機質土"),
    ]))
    write(d + "L18B.TXT", pairs([
        (1, "混り"), (2, "質"), (3, "を含む"), (4, "少量混入"),
    ]))

    # L19: weathering grade, used by R30.TXT (first ～ second).
    write(d + "L19.TXT", pairs([
        (1, "強風化"), (2, "中風化"), (3, "弱風化"),
        (4, "微風化"), (5, "新鮮"), (6, "変質"),
    ]))

    # Geology name tables: six fields a line -- code, name, legend pattern,
    # colour number, hatch kind, remark.  Every line has all six fields.
    write(d + "KISHITU.TXT", [
        line(1, q("表土"), 101, 0, 1, q("")),
        line(2, q("盛土"), 102, 0, 1, q("埋土を含む")),
        line(3, q("沖積層"), 110, 3, 2, q("")),
        line(4, q("洪積層"), 120, 5, 2, q("")),
        line(5, q("関東ローム層"), 130, 6, 2, q("火山灰")),
        line(6, q("新第三紀層"), 140, 8, 3, q("")),
        line(7, q("崖錐堆積物"), 150, 2, 2, q("ｶﾞｲｽｲ")),
    ])
    write(d + "SHITU.TXT", [
        line(1, q("礫"), 201, 1, 0, q("G")),
        line(2, q("砂"), 202, 2, 0, q("S")),
        line(3, q("シルト"), 203, 3, 0, q("M")),
        line(4, q("粘土"), 204, 4, 0, q("C")),
        line(5, q("有機質土"), 205, 5, 0, q("O")),
        line(6, q("火山灰質粘性土"), 206, 6, 0, q("V")),
        line(7, q("泥岩"), 301, 7, 1, q("Ms")),
        line(8, q("砂岩"), 302, 8, 1, q("Ss")),
    ])
    write(d + "MAJIRI.TXT", [
        line(1, q("礫混り"), 401, 0, 0, 1),
        line(2, q("砂混り"), 402, 0, 0, 1),
        line(3, q("シルト混り"), 403, 0, 0, 1),
        line(4, q("粘土混り"), 404, 0, 0, 1),
        line(5, q("腐植物混り"), 405, 0, 0, 2),
        line(6, q("貝殻混り"), 406, 0, 0, 2),
    ])


# ---------------------------------------------------------------------------
# Borehole B-12
# ---------------------------------------------------------------------------
#
# Profile (GL-m):   0.00- 0.80 盛土        暗褐
#                   0.80- 2.50 ローム      褐～黄褐
#                   2.50- 5.30 シルト      暗灰
#                   5.30- 8.40 細砂        灰
#                   8.40-11.60 砂礫        褐灰
#                  11.60-15.00 泥岩        暗青灰
# The coded note files (X3, R31 ... R35) hold one record per interval, at the
# interval's bottom depth.

def numbered(records):
    """Prefix each record (a list of field texts) with its running number."""
    return [[str(i)] + list(r) for i, r in enumerate(records, 1)]


def rec_lines(records):
    return [",".join(r) for r in numbered(records)]


def make_borehole():
    b = "boreholes/B-12/"

    # X1: depth, site text A, site text B.  The last depth (15.00) is also a
    # depth of X3.TXT.
    write(b + "X1.TXT", rec_lines([
        ["5.30", q("沖積層"), q("完新世")],
        ["11.60", q("洪積層"), q("更新世")],
        ["15.00", q("基盤岩"), q("新第三紀")],
    ]))

    # X3: depth, colour codes (group 1), -, colour codes (group 2), -, -.
    # 11.60: group 2 code 15 is not in L4.TXT.
    write(b + "X3.TXT", rec_lines([
        ["0.80", q("0103"), "0", q(""), "0", "0"],
        ["2.50", q("03"), "0", q("0603"), "0", "0"],
        ["5.30", q("0104"), "0", q(""), "0", "0"],
        ["8.40", q("04"), "0", q(""), "0", "0"],
        ["11.60", q("0304"), "0", q("15"), "0", "0"],
        ["15.00", q("010504"), "0", q(""), "0", "0"],
    ]))

    # R31 ... R35: depth, code, -, code, -.  An empty code means "not stated".
    write(b + "R31.TXT", rec_lines([          # relative density, L13
        ["0.80", "2", "0", q(""), "0"],
        ["5.30", q(""), "0", q(""), "0"],
        ["8.40", "3", "0", "4", "0"],
        ["11.60", "5", "0", q(""), "0"],
    ]))
    write(b + "R32.TXT", rec_lines([          # consistency, L14
        ["0.80", q(""), "0", q(""), "0"],
        ["2.50", "3", "0", q(""), "0"],
        ["5.30", "2", "0", "3", "0"],
        ["11.60", q(""), "0", q(""), "0"],
        ["15.00", "5", "0", q(""), "0"],
    ]))
    write(b + "R33.TXT", rec_lines([          # moisture, L15
        ["2.50", "2", "0", "3", "0"],
        ["5.30", "4", "0", q(""), "0"],
        ["11.60", "5", "0", q(""), "0"],
        ["15.00", "2", "0", q(""), "0"],
    ]))
    write(b + "R34.TXT", rec_lines([          # odour, L16: one record only
        ["5.30", "1", "0", q(""), "0"],
    ]))
    write(b + "R35.TXT", rec_lines([          # geological age, L17: two records
        ["8.40", "1", "0", q(""), "0"],
        ["15.00", "2", "0", "4", "0"],
    ]))

    # R30: depth, first code, -, second code, -  (L19, weathering grade).
    write(b + "R30.TXT", rec_lines([
        ["12.00", "1", "0", "2", "0"],        # 強風化～中風化
        ["12.80", "2", "0", q(""), "0"],      # first code only
        ["13.50", q(""), "0", "3", "0"],      # second code only
        ["14.20", "3", "0", "9", "0"],        # 9 is not in L19.TXT
    ]))

    # X11: depth and three more fields (groundwater observations).
    write(b + "X11.TXT", rec_lines([
        ["2.10", q("2004/08/05"), q("孔内水位"), q("初期水位")],
        ["2.35", q("2004/08/20"), q("孔内水位"), q("掘削終了後")],
    ]))

    # X12: depth, note text.  A text of exactly 30 characters continues in
    # the next record; the two texts form one note.
    join_a = "黄褐色を呈する火山灰質粘性土。上部は指圧で容易に凹み下部ほど"
    join_b = "締まりが良くなる。"
    wide = "全体に細砂主体で粒子は均一、雲母片を多く含む。下端付近は貝殻片が点在する。"
    exact68 = "砂礫（Ｄｇ１）層。礫は亜円礫主体で、基質は粗砂からなる。孔壁崩壊あり"
    blank_note = "礫径 φ2～20mm 主体"
    assert len(join_a) == 30, len(join_a)
    assert len(join_b) != 30 and cols(join_a + join_b) > 68
    assert len(wide) != 30 and cols(wide) > 68, cols(wide)
    assert cols(exact68) == 68 and len(exact68) != 30, cols(exact68)
    assert " " in blank_note
    # Three records forming one note of more than 68 characters.
    chain = ["青灰色の泥岩。上部1m程度は風化が進み、指圧で容易に崩れる。",
             "中部以深は割れ目が少なく、コアは長棒状で採取される。層理面は",
             "ほぼ水平で、新鮮部は指圧で崩れない。"]
    assert [len(c) for c in chain[:2]] == [30, 30] and len(chain[2]) != 30
    assert len("".join(chain)) > 68
    x12 = [
        ["0.80", q("表層5cmはｱｽﾌｧﾙﾄ舗装。")],
        ["2.50", q(join_a)],
        ["2.50", q(join_b)],
        ["5.30", q(wide)],
        ["8.40", q("腐植物を少量混入する。")],
        ["11.60", q(exact68)],
        ["11.60", q(blank_note)],
        ["15.00", q(chain[0])],
        ["15.00", q(chain[1])],
        ["15.00", q(chain[2])],
    ]
    write(b + "X12.TXT", rec_lines(x12))

    # R41: depth, value C, value A, value B, six fields not used.
    write(b + "R41.TXT", rec_lines([
        ["3.50", "1.25", "4.8", "12.0", "0", "0", "0", "0", "0", q("")],
        ["6.50", "2.10", "0", "35.5", "0", "0", "0", "0", "0", q("")],   # A = 0
        ["9.50", "3.40", "", "48.0", "0", "0", "0", "0", "0", q("")],    # A blank
        ["13.00", "", "125.0", "420.0", "0", "0", "0", "0", "0", q("LLT")],
    ]))

    # N9: date yyyy/mm/dd, depth (groundwater level readings).
    write(b + "N9.TXT", rec_lines([
        [q("2004/08/05"), "2.10"],
        [q("2004/08/09"), "2.35"],
        [q("2004/08/20"), "2.5"],
    ]))

    # X7: 68 fields a record -- no, 3 fields not used, top, bottom, 2 not
    # used, 20 legend codes (L8.TXT), 40 fields not used.
    def x7(layer, top, bottom, codes, tail_note="", split_after=None):
        codes = list(codes) + ["0"] * (20 - len(codes))
        assert len(codes) == 20
        tail = ["0"] * 39 + [q(tail_note)]
        fields = [str(layer), q("B-12"), "0", top, bottom, "0", "0"] + codes + tail
        assert len(fields) == 67     # plus the running number = 68
        return fields, split_after

    x7_records = [
        x7(1, "0.00", "0.80", ["2"]),
        x7(2, "0.80", "2.50", ["3", "0", "11"]),
        x7(3, "2.50", "5.30", ["4", "0", "0", "0", "0", "0", "8"]),
        # 3rd and 7th codes set, the 3rd written "05"; this record runs over
        # two lines (break after the 12th field).
        x7(4, "5.30", "8.40", ["0", "0", "05", "0", "0", "0", "10"],
           split_after=12),
        # code 13 is not in L8.TXT
        x7(5, "8.40", "11.60", ["9", "0", "0", "0", "13"]),
        # bottom depth left blank
        x7(6, "11.60", "", ["7", "12"], tail_note="孔底"),
    ]
    x7_lines = []
    for i, (fields, split) in enumerate(x7_records, 1):
        full = [str(i)] + fields
        if split:
            x7_lines.append(",".join(full[:split]))
            x7_lines.append(",".join(full[split:]))
        else:
            x7_lines.append(",".join(full))
    write(b + "X7.TXT", x7_lines)

    # G40: name, -, top, bottom, three fields not used.
    write(b + "G40.TXT", rec_lines([
        [q("盛土"), "0", "0.00", "0.80", "0", "0", q("")],
        [q("関東ローム層"), "0", "0.80", "2.50", "0", "0", q("")],
        [q("沖積 シルト層"), "0", "2.50", "5.30", "0", "0", q("")],   # half-width blank
        [q("沖積砂層"), "0", "5.30", "8.40", "0", "0", q("")],
        [q("洪積　砂礫層"), "0", "8.40", "11.60", "0", "0", q("")],   # full-width blank
        [q("泥岩"), "0", "11.60", "15.00", "0", "0", q("")],
    ]))

    # X5: standard penetration test -- start depth, 3 fields not used
    # (N value, hammer, remark), then reading/length (cm) for three intervals.
    spt = [
        # start   N    not used   r1   l1   r2   l2   r3   l3
        ("1.15", "5", "63.5", q(""), "1", "10", "2", "10", "2", "10"),
        ("2.15", "3", "63.5", q(""), "1", "10", "1", "10", "1", "10"),
        ("3.15", "1", "63.5", q("自沈"), "-1", "30", "0", "0", "0", "0"),
        ("4.15", "2", "63.5", q(""), "0", "15", "1", "10", "1", "10"),
        ("5.15", "4", "63.5", q(""), "1", "10", "1", "10", "2", "10"),
        ("6.15", "12", "63.5", q(""), "3", "10", "4", "10", "5", "10"),
        ("7.15", "18", "63.5", q(""), "5", "10", "6", "10", "7", "10"),
        ("8.15", "21", "63.5", q(""), "6", "10", "7", "abc", "8", "10"),
        ("9.15", "35", "63.5", q(""), "10", "10", "12", "10", "13", "10"),
        ("10.15", "50", "63.5", q(""), "15", "10", "17", "10", "18", "5"),
        ("11.15", "60", "63.5", q(""), "30", "10", "20", "5", "0", "0"),
        ("12.15", "50", "63.5", q(""), "50", "15", "0", "0", "0", "0"),
        ("13.15", "50", "63.5", q(""), "50", "8", "0", "0", "0", "0"),
        ("14.15", "50", "63.5", q(""), "50", "5", "0", "0", "0", "0"),
    ]
    write(b + "X5.TXT", rec_lines([list(r) for r in spt]))

    # Laboratory tests, joined by depth.  1.5 and 1.50 are the same depth.
    write(b + "N8.TXT", rec_lines([           # sampling date, depth
        [q("2004/08/06"), "1.5"],
        [q("2004/08/07"), "3.15"],
        [q(""), "6.20"],                      # date not recorded
        [q("2004/08/12"), "9.15"],
    ]))
    write(b + "G71.TXT", rec_lines([          # particle density
        ["1.50", "0", "0", "2.652"],
        ["3.15", "0", "0", "2.583"],
        ["4.50", "0", "0", q("")],            # value field empty
        ["9.15", "0", "0", "2.701"],
    ]))
    write(b + "G73.TXT", rec_lines([          # natural water content, wet density
        ["1.5", "48.2", "1.52"],
        ["4.5", "38.5", "1.78"],
        ["6.2", "24.1", "1.91"],
    ]))
    write(b + "G81.TXT", rec_lines([          # liquid limit, plastic limit, index
        ["1.50", "85.3", "52.1", "33.2"],
        ["3.15", "62.0", "", "NP"],           # plastic limit not obtained
        ["4.50", "55.4", "31.8", "23.6"],
    ]))

    # G72: depth, value, soil code (L18), -, qualifier code (L18B), -, text.
    write(b + "G72.TXT", rec_lines([
        ["1.50", "85.3", "5", "0", q(""), "0", q("T-1")],
        ["3.15", "62.0", "3", "0", "1", "0", q("T-2")],    # ｼﾙﾄ / 混り
        ["6.20", "", "2", "0", "2", "0", q("")],           # empty value, empty text
        ["9.15", "0", "1", "0", "1", "0", q("S-4")],       # value 0
    ]))

    # Title files.  Items run over several lines; a line end separates items
    # just as a comma does.
    titl01 = [
        line(q("桜台地区道路改良工事に伴う地質調査業務委託"), q("B-12"), q("1")),
        line(q("東京都緑野市桜台二丁目地内"), q("緑野市 建設部 道路課")),
        line(q("東和地質調査株式会社  "), q("緑野支店"), q(""), q("0")),
        line("2004", "08", "05", "2004", "08", "20"),
        line("4", "12.35", q(""), q("")),
        line(q("X=-42150.25"), q("Y=-18320.60"), q("IX系"), q("T.P.")),
    ]
    write(b + "Titl01.txt", titl01)

    titl02 = [
        line(q("山田 太郎"), q(""), q("ロータリー式ボーリング"), q("YBM-05型")),
        line("35", "31", "24.8", "139", "27", "12.5"),
        line(q(""), "66", "15.00", "90", q("")),
        line(q("ﾛｰﾀﾘｰ式"), q("油圧 フィード"), q("ｺｱﾁｭｰﾌﾞ φ66"), q("泥水"),
             q("GL 0.00")),
        line(q(""), q(""), q("0"), q("0"), q("")),
        line(q("2004/08/20"), q("緑野市"), q("桜台"), q("1"), q("")),
    ]
    write(b + "Titl02.txt", titl02)


def make_settings():
    write("settings/DozoraV5.ini", [
        "[DOZORA]",
        q("Z:\\PATTERN\\DOZORA\\"),
    ])


def main():
    make_dozora()
    make_borehole()
    make_settings()
    return 0


if __name__ == "__main__":
    sys.exit(main())
