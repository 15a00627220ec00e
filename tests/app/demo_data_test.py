"""A rebuild keeps the user's DATA.xlsx, Firmalarım/ and prgDosyaları/; only --reset brings the
demo back, keeping the old workbook beside it.

Runs the build's own demo rule (cmake/DemoData.cmake) in a scratch project of its own, with copies
of tavlix_makedemo and demo/, so it touches no source and no target of the real build tree and
can run beside any other test.
usage: demo_data_test.py <cmake> <generator> <source dir> <tavlix_makedemo>"""
import os, re, shutil, subprocess, sys, tempfile, time
import openpyxl

cmake, generator, source, makedemo = sys.argv[1:5]
scratch = tempfile.mkdtemp(prefix="tavlix-demo-")
try:
    tool = os.path.join(scratch, "tavlix_makedemo")
    shutil.copy2(makedemo, tool)
    demo = shutil.copytree(os.path.join(source, "demo"), os.path.join(scratch, "demo"))
    program = os.path.join(scratch, "Tavlix")
    os.mkdir(os.path.join(scratch, "project"))
    with open(os.path.join(scratch, "project", "CMakeLists.txt"), "w") as f:
        f.write(f"""cmake_minimum_required(VERSION 3.25)
project(demo_check NONE)
add_executable(tavlix_makedemo IMPORTED)
set_target_properties(tavlix_makedemo PROPERTIES IMPORTED_LOCATION "{tool}")
include("{source}/cmake/DemoData.cmake")
tavlix_add_demo_data(demo_data tavlix_makedemo "{demo}" "{program}")
""")
    build = os.path.join(scratch, "build")
    def run(*args):
        return subprocess.run(args, check=True, capture_output=True, text=True).stdout
    run(cmake, "-S", os.path.join(scratch, "project"), "-B", build, "-G", generator)
    run(cmake, "--build", build, "--target", "demo_data")

    data = os.path.join(program, "Data", "DATA.xlsx")
    wb = openpyxl.load_workbook(data)
    ws = wb["mDATA"]
    row = next(r for r in range(2, 101) if not ws.cell(r, 6).value)
    for col, value in ((3, "Yeni Müşteri A.Ş."), (6, "Kadıköy"), (7, "1234567890")):
        ws.cell(row, col, value)
    wb.save(data)
    kept = {data: open(data, "rb").read()}
    for folder, name in (("Firmalarım", "Alfa/fatura.xlsx"), ("prgDosyaları", "chromedriver")):
        path = os.path.join(program, folder, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(b"kullanici")
        kept[path] = b"kullanici"

    later = time.time() + 60
    for path in [tool] + [os.path.join(demo, n) for n in os.listdir(demo)]:
        os.utime(path, (later, later))
    run(cmake, "--build", build, "--target", "demo_data")
    for path, content in kept.items():
        assert open(path, "rb").read() == content, "a rebuild changed " + path

    said = run(tool, "--reset", demo, data)
    asides = [n for n in os.listdir(os.path.dirname(data)) if n != "DATA.xlsx"]
    assert len(asides) == 1 and re.fullmatch(r"DATA\.xlsx\.\d{8}-\d{6}", asides[0]), asides
    aside = os.path.join(os.path.dirname(data), asides[0])
    assert aside in said, said
    assert open(aside, "rb").read() == kept[data], "the old workbook was not kept as it was"
    customers = [c.value for c in openpyxl.load_workbook(data)["mDATA"]["C"]]
    assert "Yeni Müşteri A.Ş." not in customers and len(customers) > 1, customers
finally:
    shutil.rmtree(scratch, ignore_errors=True)
