"""Writes a DATA.xlsx as a user leaves it after editing it in a spreadsheet program.

openpyxl writes the sheets; the package is then finished by hand where openpyxl cannot: shared
formula groups (column filled down), array formulas and a calculation chain.

    mDATA  two customers (row 2 with a control character in its address), L2:L6 a shared group
           =IF(C2="","","x") that shows nothing below row 3, a list validation on E2:E100
    sDATA  card K1 in row 2, C3:C5 a shared group =IF(A3="","",A3) (shows nothing),
           Q2:Q8 a shared group =IF(C2="","",E2*2) beside the cards, R2:R3 an array formula
    kodDATA, prgDATA  one entry of each table, two companies
"""
import re
import sys
import zipfile

import openpyxl
from openpyxl.worksheet.datavalidation import DataValidation

CUSTOMER_HEADERS = ["MÜŞTERİ ÜNVANI*", "MÜŞTERİ ADI*", "MÜŞTERİ SOYADI*", "FATURA ADRESİ*",
                    "ÜLKESİ*", "VERGİ DAİRESİ*", "VERGİ/TCK NO*", "E-POSTA ADRESİ", "TELEFON NO",
                    "FAKS NO", "YETKİLİ KİŞİ", "MUH.HES.KODU"]
STOCK_HEADERS = ["ÜRÜN/HİZ.STOK KODU", "FİLİTRE KODU", "ÜRÜN/HİZMET ADI*", "BİRİM", "BİRİM FİYAT",
                 "İSK ORANI", "KDV ORANI", "KDV TEVK.KODU", "TEVK. ORANI", "DİĞER VERGİ ADI1",
                 "DİĞER VERGİ ORANI1", "DİĞER VERGİ ADI2", "DİĞER VERGİ ORANI2", "GTIP KODU",
                 "ÖZEL MAT. NEDENİ", "ÖZEL MAT. TUTARI", "İKİ KATI", "DİZİ"]


def shared(ws, column, first, last, formula_of):
    """A column filled down: the master holds the formula, the others point at it."""
    ref = "%s%d:%s%d" % (column, first, column, last)
    for row in range(first, last + 1):
        ws["%s%d" % (column, row)] = "=" + formula_of(row)
        attrs = {"t": "shared", "si": str(shared.next)}
        if row == first:
            attrs["ref"] = ref
        ws.formula_attributes["%s%d" % (column, row)] = attrs
    shared.next += 1


shared.next = 0


def build(path):
    wb = openpyxl.Workbook()
    prg = wb.active
    prg.title = "prgDATA"
    prg["A1"], prg["B1"], prg["C1"] = "Parametre Adı", "Ana Kullanıcı Bilgileri", "Firma 2"
    prg["A2"], prg["B2"], prg["C2"] = "KULLANICI ADI*", "Alfa Ltd", "Beta AŞ"
    prg["B15"] = "M"

    kod = wb.create_sheet("kodDATA")
    for col, text in zip("ABCDEFGHIJKLMNOPQ", ["601", "Yapım İşleri", "4/10", "TEVK", "0071",
                                               "ÖTV 1. Liste", "SATIS", "SATIŞ", "TR", "TÜRKİYE",
                                               "TRY", "Türk Lirası", "801", "C62", "Adet", "0015",
                                               18]):
        kod[col + "2"] = text

    stock = wb.create_sheet("sDATA")
    for i, h in enumerate(STOCK_HEADERS):
        stock.cell(1, i + 1, h)
    for i, v in enumerate(["K1", "Alfa Ltd", "Vida", "Adet", 10.5, 0, 18]):
        stock.cell(2, i + 1, v)
    shared(stock, "C", 3, 5, lambda r: 'IF(A%d="","",A%d)' % (r, r))
    shared(stock, "Q", 2, 8, lambda r: 'IF(C%d="","",E%d*2)' % (r, r))
    stock["R2"] = "=E2:E3*2"
    stock.formula_attributes["R2"] = {"t": "array", "ref": "R2:R3"}

    cust = wb.create_sheet("mDATA")
    for i, h in enumerate(CUSTOMER_HEADERS):
        cust.cell(1, i + 1, h)
    for i, v in enumerate(["Acme A.Ş.", None, "Acme A.Ş. ", "Cad._x0007_No:5", "TÜRKİYE",
                           "Kadıköy", "0123456789", "acme@example.com"]):
        if v is not None:
            cust.cell(2, i + 1, v)
    for i, v in enumerate([None, "Ali", "Ali Veli", "Köy yolu", "TÜRKİYE", "Üsküdar",
                           "12345678901"]):
        if v is not None:
            cust.cell(3, i + 1, v)
    shared(cust, "L", 2, 6, lambda r: 'IF(C%d="","","x")' % r)
    dv = DataValidation(type="list", formula1='"TÜRKİYE,ALMANYA"')
    cust.add_data_validation(dv)
    dv.add("E2:E100")
    wb.save(path)

    # Shared children carry no formula text of their own; a chain lists every formula cell.
    with zipfile.ZipFile(path) as z:
        parts = {n: z.read(n) for n in z.namelist()}
    sheet_ids = {"sDATA": 3, "mDATA": 4}
    sheet_parts = {"sDATA": "xl/worksheets/sheet3.xml", "mDATA": "xl/worksheets/sheet4.xml"}
    chain = []
    for name, part in sheet_parts.items():
        xml = parts[part].decode()
        xml = re.sub(r'(<f t="shared" si="\d+")>[^<]*</f>', r"\1/>", xml)
        parts[part] = xml.encode()
        for ref in re.findall(r'<c r="([A-Z]+\d+)"[^>]*><f', xml):
            chain.append('<c r="%s" i="%d"/>' % (ref, sheet_ids[name]))
    parts["xl/calcChain.xml"] = (
        '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
        '<calcChain xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">'
        + "".join(chain) + "</calcChain>").encode()
    rels = parts["xl/_rels/workbook.xml.rels"].decode()
    parts["xl/_rels/workbook.xml.rels"] = rels.replace(
        "</Relationships>",
        '<Relationship Id="rIdChain" Type="http://schemas.openxmlformats.org/officeDocument/'
        '2006/relationships/calcChain" Target="calcChain.xml"/></Relationships>').encode()
    types = parts["[Content_Types].xml"].decode()
    parts["[Content_Types].xml"] = types.replace(
        "</Types>",
        '<Override PartName="/xl/calcChain.xml" ContentType="application/vnd.openxmlformats-'
        'officedocument.spreadsheetml.calcChain+xml"/></Types>').encode()
    # As Excel leaves it: no standing request to recalculate on open.
    book = parts["xl/workbook.xml"].decode()
    parts["xl/workbook.xml"] = book.replace(' fullCalcOnLoad="1"', "").encode()
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        for name, data in parts.items():
            z.writestr(name, data)


if __name__ == "__main__":
    build(sys.argv[1])
