{
	"patcher" : {
		"fileversion" : 1,
		"rect" : [ 100.0, 100.0, 640.0, 480.0 ],
		"boxes" : [
			{
				"box" : {
					"id" : "obj-1",
					"maxclass" : "newobj",
					"numinlets" : 2,
					"numoutlets" : 8,
					"patching_rect" : [ 30.0, 30.0, 160.0, 22.0 ],
					"text" : "vst~ 2 2 Big",
					"varname" : "synth"
				}
			},
			{
				"box" : {
					"id" : "obj-2",
					"maxclass" : "newobj",
					"numinlets" : 1,
					"numoutlets" : 1,
					"patching_rect" : [ 30.0, 80.0, 160.0, 22.0 ],
					"text" : "qzkorvel synth",
					"varname" : "editor"
				}
			},
			{
				"box" : {
					"id" : "obj-3",
					"maxclass" : "newobj",
					"numinlets" : 1,
					"numoutlets" : 4,
					"patching_rect" : [ 200.0, 80.0, 160.0, 22.0 ],
					"text" : "autopattr",
					"varname" : "u123000001",
					"restore" : {
						"editor" : [ 2300, 300, 800, 600, 1 ]
					}
				}
			}
		],
		"lines" : [  ]
	}
}
