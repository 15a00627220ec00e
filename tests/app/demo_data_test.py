"""A rebuild keeps the user's DATA.xlsx, Firmalarım/ and prgDosyaları/; --reset keeps the old
workbook beside the demo. The build's own rule (cmake/DemoData.cmake) runs in a scratch project on
copies of tavlix_makedemo and demo/, touching nothing of the real build, so it runs beside any test.
usage: demo_data_test.py <cmake> <generator> <source dir> <tavlix_makedemo>"""
import os, re, shutil, subprocess, sys, tempfile, time
import openpyxl

cmake, generator, source, makedemo = sys.argv[1:5]
scratch = tempfile.mkdtemp(prefix="tavlix-demo-")
try:
    tool, program = shutil.copy2(makedemo, scratch), os.path.join(scratch, "Tavlix")
    demo = shutil.copytree(os.path.join(source, "demo"), os.path.join(scratch, "demo"))
    open(os.path.join(scratch, "CMakeLists.txt"), "w").write(f"""project(demo_check NONE)
add_executable(tavlix_makedemo IMPORTED)
set_target_properties(tavlix_makedemo PROPERTIES IMPORTED_LOCATION "{tool}")
include("{source}/cmake/DemoData.cmake")
tavlix_add_demo_data(demo_data tavlix_makedemo "{demo}" "{program}")""")
    run = lambda *a: subprocess.run(a, check=True, capture_output=True, text=True).stdout
    build = os.path.join(scratch, "build")
    run(cmake, "-S", scratch, "-B", build, "-G", generator, "-Wno-dev")
    run(cmake, "--build", build, "--target", "demo_data")

    data = os.path.join(program, "Data", "DATA.xlsx")
    wb = openpyxl.load_workbook(data)
    wb["mDATA"].append([None, None, "Yeni Müşteri A.Ş.", "Adres", "Türkiye", "Kadıköy", "1"])
    wb.save(data)
    kept = {os.path.join(program, p): b"x" for p in ("Firmalarım/A/a.xlsx", "prgDosyaları/d")}
    for path, content in kept.items():
        os.makedirs(os.path.dirname(path), exist_ok=True)
        open(path, "wb").write(content)
    kept[data] = open(data, "rb").read()
    later = time.time() + 60  # the demo and its tool changed since the last build
    for path in [tool] + [os.path.join(demo, n) for n in os.listdir(demo)]:
        os.utime(path, (later, later))
    run(cmake, "--build", build, "--target", "demo_data")
    for path, content in kept.items():
        assert open(path, "rb").read() == content, "a rebuild changed " + path

    said = run(tool, "--reset", demo, data)
    aside = [n for n in os.listdir(os.path.dirname(data)) if n != "DATA.xlsx"]
    assert len(aside) == 1 and re.fullmatch(r"DATA\.xlsx\.\d{8}-\d{6}", aside[0]), aside
    aside = os.path.join(os.path.dirname(data), aside[0])
    assert aside in said and open(aside, "rb").read() == kept[data], said
    names = [c.value for c in openpyxl.load_workbook(data)["mDATA"]["C"]]
    assert "Yeni Müşteri A.Ş." not in names and len(names) > 1, names
finally:
    shutil.rmtree(scratch, ignore_errors=True)
