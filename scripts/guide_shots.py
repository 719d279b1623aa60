#!/usr/bin/env python3
# Takes the user's guide pictures from the real program: in each language a test of
# the throttled drive U:, which pauses 20 ms every 8 MB, then the main dialog, the graph and the system information
# dialog, each cut out of a screenshot into OUT/<language>-<name>.png. Uses the end-to-end
# stories' harness; run by scripts/guide-shots, which sets up Wine and the X server.
#   guide_shots.py --exe STRAVO --probe WINPROBE --throttlefs THROTTLEFS --work DIR --shots OUT
import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import stories  # noqa: E402


def shoot(window, path):
    l, t, r, b = (window[k] for k in "ltrb")
    subprocess.run(["import", "-window", "root", "-crop", "%dx%d+%d+%d" % (r - l, b - t, l, t), "+repage", path],
                   check=True)


def main():
    args = stories.arguments()
    probe = stories.Probe(args.probe)
    titles = {"ENG": ("Performance Graph - Drive U:", "System informations"),
              "GER": ("Datenrate Grafik -  Laufwerk U:", "System Information"),
              "FRE": ("La graphique du taux de données pour le disque U:", "Information du système")}
    for language, (graph_title, info_title) in titles.items():
        s = stories.Story(args, probe)
        s.plant("nt40", [("HKLM", stories.STRAVO + r"\ActBoard", "@", "vexoVIDEO Puma"),
                         ("HKCU", stories.SERVAL, "Language", language)])
        name = os.path.join(args.shots, {"ENG": "en", "GER": "de", "FRE": "fr"}[language] + "-")
        dialog = s.start()
        s.run_test(dialog, "u")
        shoot(s.find()[0], name + "results.png")
        s.keys(stories.CAPTION, "alt+g")
        graph = stories.wait(lambda: s.find(graph_title))[0]
        stories.time.sleep(1)
        shoot(graph, name + "graph.png")
        s.keys(None, "Escape")  # where the focus is: xdotool finds no title with accents
        s.keys(stories.CAPTION, "alt+c" if language == "FRE" else "alt+m")  # "En&core..." in French
        info = stories.wait(lambda: s.find(info_title))[0]
        shoot(info, name + "sysinfo.png")
        s.keys(None, "Return")
        stories.wait(lambda: not s.find(info_title))
        s.click(s.item(dialog, 1))
        s.close()
    stories.unmount(args)


if __name__ == "__main__":
    main()
