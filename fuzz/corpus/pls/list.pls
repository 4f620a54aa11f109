[playlist]
File1=one.mp3
Title1=One
File3=file:///m/three.mp3
File2=/m/two.mp3
NumberOfEntries=3
Version=2
