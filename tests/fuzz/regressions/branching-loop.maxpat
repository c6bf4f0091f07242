{
	"patcher" : {
		"boxes" : [
			{ "box" : { "id" : "obj-1", "maxclass" : "newobj", "numinlets" : 2, "numoutlets" : 8, "text" : "vst~", "varname" : "synth" } },
			{ "box" : { "id" : "obj-2", "maxclass" : "newobj", "numinlets" : 1, "numoutlets" : 1, "text" : "qzkorvel synth" } },
			{ "box" : { "id" : "obj-3", "maxclass" : "message", "numinlets" : 2, "numoutlets" : 1, "text" : "plug" } }
		],
		"lines" : [
			{ "patchline" : { "source" : [ "obj-2", 0 ], "destination" : [ "obj-3", 0 ] } },
			{ "patchline" : { "source" : [ "obj-3", 0 ], "destination" : [ "obj-1", 0 ] } }
		]
	}
}
