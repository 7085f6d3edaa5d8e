#!/usr/bin/python3
"""The peer's figures on the same files as bench_engine: QGIS (python3-qgis) opening a layer,
drawing it at full extent and at one township into a 1200 x 900 image in NAD83 UTM 13N, and
finding one section by an attribute expression. Usage: qgis_peer.py FILE [FILE...]
(FILE may be SOURCE|layername=NAME). Each file runs in its own process so peak RSS is its own."""
import os
import resource
import subprocess
import sys
import time

SIDE = 6 * 1609.344


def measure(path):
    from qgis.core import (QgsApplication, QgsCoordinateReferenceSystem, QgsFeatureRequest,
                           QgsMapRendererSequentialJob, QgsMapSettings, QgsRectangle,
                           QgsVectorLayer)
    from qgis.PyQt.QtCore import QSize
    app = QgsApplication([], False)
    app.initQgis()
    start = time.perf_counter()
    layer = QgsVectorLayer(path, "sections", "ogr")
    count = layer.featureCount()
    opened = time.perf_counter() - start
    if not layer.isValid():
        print(f"{path}: QGIS cannot open it")
        return
    settings = QgsMapSettings()
    settings.setOutputSize(QSize(1200, 900))
    settings.setDestinationCrs(QgsCoordinateReferenceSystem("EPSG:26913"))
    settings.setLayers([layer])

    def draw(extent):
        settings.setExtent(extent)
        job = QgsMapRendererSequentialJob(settings)
        t = time.perf_counter()
        job.start()
        job.waitForFinished()
        return time.perf_counter() - t

    full = settings.layerExtentToOutputExtent(layer, layer.extent())
    first = draw(full)
    again = draw(full)
    township = QgsRectangle(200000 + 20 * SIDE, 3500000 + 20 * SIDE,
                            200000 + 21 * SIDE, 3500000 + 21 * SIDE)
    one = draw(township)
    fields = [f.name().lower() for f in layer.fields()]
    if "plssid" in fields:
        expression = "\"PLSSID\" = 'CO060200N0200W0' AND \"FRSTDIVNO\" = '12'"
    else:
        expression = "\"section\" = 12 AND \"township\" = '20' AND \"range\" = '20'"
    t = time.perf_counter()
    found = sum(1 for _ in layer.getFeatures(QgsFeatureRequest().setFilterExpression(expression)))
    lookup = time.perf_counter() - t
    rss = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss / 1024
    print(f"QGIS {os.path.basename(path)}: {count} features; open {opened * 1e3:.0f} ms; "
          f"full-extent render {first * 1e3:.0f} ms (again {again * 1e3:.0f} ms); one-township "
          f"render {one * 1e3:.1f} ms; expression lookup {lookup * 1e3:.1f} ms ({found} found); "
          f"peak RSS {rss:.0f} MiB")


if __name__ == "__main__":
    os.environ.setdefault("QT_QPA_PLATFORM", "offscreen")
    if len(sys.argv) == 3 and sys.argv[1] == "--one":
        measure(sys.argv[2])
    else:
        for path in sys.argv[1:]:
            subprocess.run([sys.executable, __file__, "--one", path], check=False)
